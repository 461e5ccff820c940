// A shelf-plan subfixture mounted on a fixture: a shelf, open shelf, beam,
// basket or one of the pegs (plain, double-prong, scanner with its label
// plate). Its kind is its type name, compared without case.
#pragma once

#include "scene/nodes/SPGeometry.h"

class CVSPSubfixture : public CVSPGeometry {
    LUMO_DECLARE_NODE(CVSPSubfixture)

public:
    CVSPSubfixture();

    CVSFInt32 notchNumber;

    int IsScannerPeg() const override;
    int IsDoubleProngPeg() const;
    // A plain, double-prong or scanner peg.
    int IsPeg() const;
    int IsBasket() const override;
    // Untyped subfixtures always; beams in the beam pass; shelves, open
    // shelves and baskets outside it.
    int IsLabeledInCrossSection(int beamPass) const;
    bool IsShown(CVGLRenderArea* area) const override;

    // A scanner peg's label plate: its extent and centre.
    void CalculatePlateSizeAndCenter(Point3fStruct& plateSize, Point3fStruct& centre) const;
    // The size box, or for a scanner peg its plate (with the size box when
    // the area counts peg hooks).
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

protected:
    RGBAColorStruct KindColour(CVGLRenderArea* area) const override;
    bool FadesWithSolidFixtures(CVGLRenderArea* area) const override;
    void RenderPickTarget(CVState* state, CVGLRenderArea* area) override;
    void RenderBody(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Look& look) override;
    void RenderEdges(CVState* state, CVGLRenderArea* area, const Look& look) override;
    void RenderExtras(CVState* state, CVGLRenderArea* area, const Look& look) override;

private:
    // The peg hardware: a scanner peg's plate beside its rod, a
    // double-prong peg's two prongs.
    void RenderScannerPeg(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, bool edges);
    void RenderDoubleProngPeg(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, bool edges);
};
