// A cylinder along the y axis, centred on the origin; a negative height draws wire.
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Geometry.h"

class CVCylinder : public CVGeometry {
    LUMO_DECLARE_NODE(CVCylinder)

public:
    enum Part { SIDES = 0, TOP = 1, BOTTOM = 2 };
    static constexpr int kInitialSlices = 14;

    CVCylinder();
    CVSFBool bottom;
    CVSFFloat height;
    CVSFFloat radius;
    CVSFBool side;
    CVSFBool top;
    // 14 until the first draw, which picks 26 for radii above 0.1 and 20 above 0.05.
    int slices = kInitialSlices;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // Part 1 whatever the name.
    CVDetail* GetPickDetail(unsigned int name) override;

private:
    void Draw(float r, float sideScale);
    void RenderPartialSelection(float fraction, RGBColorStruct color);
};

class CVCylinderDetail : public CVDetail {
    LUMO_DECLARE_CLASS(CVCylinderDetail)

public:
    explicit CVCylinderDetail(CVCylinder* cylinder) : mGeometry(cylinder) {}
    // Held with a counted reference: the geometry lives as long as the detail.
    CVCylinder* GetGeometry() const { return mGeometry.get(); }
    CVCylinder::Part GetPart() const { return mPart; }
    void SetPart(CVCylinder::Part part) { mPart = part; }

private:
    CVRefPtr<CVCylinder> mGeometry;
    CVCylinder::Part mPart = CVCylinder::TOP;
};
