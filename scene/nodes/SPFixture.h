// A shelf-plan fixture (gondola, pegboard, peg bar, backboard): its box
// with the pegboard's hole matrix, the uprights' notches and a label.
//
// Bounds: a hole or notch pitch that is not a positive number draws none
// (reported once); at most kMaxPegHoles holes and kMaxNotches notches per
// column are drawn, a fixture that would need more draws none of them and
// says so in the render area's error report.
#pragma once

#include "scene/nodes/ProblemNote.h"
#include "scene/nodes/SPGeometry.h"

class CVSPFixture : public CVSPGeometry {
    LUMO_DECLARE_NODE(CVSPFixture)

public:
    static constexpr long kMaxPegHoles = 262144;
    static constexpr long kMaxNotches = 4096;

    CVSPFixture();

    CVSFBool pegs;
    CVSFVec2f pegSpacing;
    CVSFFloat pegColIndent;
    CVSFFloat pegRowIndent;
    CVSFBool notches;
    CVSFVec2f notchHoleSize;
    CVSFFloat notchOffset;
    CVSFFloat notchIndentDist;
    CVSFFloat notchInterval;
    CVSFInt32 notchPosition;
    CVSFString associatedBackboard;
    CVSFInt32 notchNumber;

    // True for a "Peg Bar" outside the beam pass.
    int IsLabeledInCrossSection(int beamPass) const;
    bool IsShown(CVGLRenderArea* area) const override;

    // Where the holes go: columns x rows from the first hole's centre at
    // the pitch; 'problem' says why there are none when the values forbid
    // them.
    struct HoleGrid {
        long columns = 0, rows = 0;
        float x0 = 0, y0 = 0, pitchX = 0, pitchY = 0;
        std::wstring problem;
    };
    HoleGrid GetPegHoleGrid() const;
    // Notches per column (0 without a positive interval) and the columns'
    // left edges; 'problem' as for the holes.
    struct NotchLayout {
        long count = 0;
        float columns[2] = {0, 0};
        int columnCount = 0;
        std::wstring problem;
    };
    NotchLayout GetNotchLayout() const;

    void RenderNotches(CVGLRenderArea* area);
    void RenderPegHoleMatrix(CVGLRenderArea* area, float scale);

protected:
    RGBAColorStruct KindColour(CVGLRenderArea* area) const override;
    bool FadesWithSolidFixtures(CVGLRenderArea* area) const override;
    void RenderExtras(CVState* state, CVGLRenderArea* area, const Look& look) override;

private:
    CVProblemNote mProblem;
};
