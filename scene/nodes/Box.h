// An axis-aligned box centred on the origin; a negative size draws a wire box.
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Geometry.h"

class CVBox : public CVGeometry {
    LUMO_DECLARE_NODE(CVBox)

public:
    enum Part { TOP = 0, BOTTOM = 1, FRONT = 2, BACK = 3, RIGHT = 4, LEFT = 5 };

    CVBox();
    CVSFVec3f size;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // Part 2 (front) whatever the name.
    CVDetail* GetPickDetail(unsigned int name) override;
    // One face of the unit cube about the origin (a Part), with texture
    // coordinates 0 to 1 and, when asked, its normal.
    static void DrawUnitFace(int face, bool withNormal);

private:
    void RenderPartialSelection(float fraction, int faces, RGBColorStruct color);
};

class CVBoxDetail : public CVDetail {
    LUMO_DECLARE_CLASS(CVBoxDetail)

public:
    explicit CVBoxDetail(CVBox* box) : mGeometry(box) {}
    // Held with a counted reference: the geometry lives as long as the detail.
    CVBox* GetGeometry() const { return mGeometry.get(); }
    CVBox::Part GetPart() const { return mPart; }
    void SetPart(CVBox::Part part) { mPart = part; }

private:
    CVRefPtr<CVBox> mGeometry;
    CVBox::Part mPart = CVBox::FRONT;
};
