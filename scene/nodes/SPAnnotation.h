// A note on a shelf plan: an arrow from start to end (type "Arrow", any
// case) with cone heads, or a text note showing its label (plain or
// rich-text markup) at its start point. Drawn in the annotation pass, on
// top of the plan, when the area shows annotations.
#pragma once

#include "scene/nodes/SPGeometry.h"

class CVSPAnnotation : public CVSPGeometry {
    LUMO_DECLARE_NODE(CVSPAnnotation)

public:
    CVSPAnnotation();

    CVSFVec3f start;
    CVSFVec3f end;
    CVSFBool startArrow;
    CVSFBool endArrow;
    CVSFColor lineColor;
    CVSFFloat lineThickness;
    CVSFInt32 linePattern;
    CVSFBool labelIsHTML;

    bool IsArrow() const;
    bool IsShown(CVGLRenderArea* area) const override;
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The box of start and end.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    void GetPositionBoundingBox(CVBox3f* box) const;

    void RenderArrowAnnotation(CVState* state, CVGLRenderArea* area);
    void RenderTextAnnotation(CVState* state, CVGLRenderArea* area);
    // A cone at 'to' pointing away from 'from'; nothing when they coincide.
    static void RenderArrowHead(const Point3fStruct& from, const Point3fStruct& to, float length);

protected:
    RGBAColorStruct KindColour(CVGLRenderArea* area) const override;
};
