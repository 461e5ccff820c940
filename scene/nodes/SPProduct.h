// A shelf-plan product: a block of units (facings across, up and deep, with
// gaps, nesting and a turn of each unit) and cap units laid on top, drawn
// as one box when the units are plain, else unit by unit.
#pragma once

#include "scene/nodes/ProblemNote.h"
#include "scene/nodes/SPGeometry.h"
#include "scene/nodes/SPProductBlock.h"

class CVSPProduct : public CVSPGeometry {
    LUMO_DECLARE_NODE(CVSPProduct)

public:
    CVSPProduct();

    CVSFVec3f facings;
    CVSFFloat xfacingGap;
    // Degrees about x, y and z, reduced to whole degrees in [0, 360).
    CVSFVec3f faceRotation;
    CVSFVec3f capFacings;
    CVSFFloat nestDepth;
    CVSFString nestDir;
    // Stipple pattern number (0: none) when the area shows fill patterns.
    CVSFInt32 fillPattern;

    // The layout of the units as the area would draw them (area may be
    // null: fill patterns count as shown).
    lumo::planogram::Block GetBlock(CVGLRenderArea* area) const;
    // The whole block with its caps; empty for a product marked as an
    // annotation.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    bool IsShown(CVGLRenderArea* area) const override;
    // The rectangles between units of a block of extent s and counts n.
    static void RenderFacingLines(const Point3fStruct& s, const lumo::planogram::Counts& n);
    // The same as vertex pairs inside the caller's glBegin(GL_LINES).
    static void EmitFacingLines(const Point3fStruct& s, const lumo::planogram::Counts& n);

protected:
    RGBAColorStruct KindColour(CVGLRenderArea* area) const override;
    void RenderPickTarget(CVState* state, CVGLRenderArea* area) override;
    void RenderBody(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Look& look) override;
    void RenderEdges(CVState* state, CVGLRenderArea* area, const Look& look) override;
    void RenderExtras(CVState* state, CVGLRenderArea* area, const Look& look) override;

private:
    // The body shape: 'shape', or the stippled box of a fill pattern.
    std::wstring BodyShape(CVGLRenderArea* area) const;
    bool UsesFillPattern(CVGLRenderArea* area) const;
    // Draws every unit of a run in its order, turned, with the nesting
    // clip plane; edges or bodies.
    void RenderUnits(CVState* state, CVGLRenderArea* area, CVAppearance* appearance,
                     const lumo::planogram::Block& block, const lumo::planogram::UnitRun& run, bool edges);
    lumo::planogram::Block Prepare(CVGLRenderArea* area);

    CVProblemNote mProblem;
};
