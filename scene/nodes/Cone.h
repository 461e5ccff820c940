// A cone along the y axis, centred on the origin; a negative height draws wire.
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Geometry.h"

class CVCone : public CVGeometry {
    LUMO_DECLARE_NODE(CVCone)

public:
    enum Part { SIDES = 0, BOTTOM = 1 };

    CVCone();
    CVSFFloat bottomRadius;
    CVSFFloat height;
    CVSFBool side;
    CVSFBool bottom;
    int slices = 16;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // Part 0 whatever the name.
    CVDetail* GetPickDetail(unsigned int name) override;

private:
    void Draw(float r, float h);
};

class CVConeDetail : public CVDetail {
    LUMO_DECLARE_CLASS(CVConeDetail)

public:
    explicit CVConeDetail(CVCone* cone) : mGeometry(cone) {}
    // Held with a counted reference: the geometry lives as long as the detail.
    CVCone* GetGeometry() const { return mGeometry.get(); }
    CVCone::Part GetPart() const { return mPart; }
    void SetPart(CVCone::Part part) { mPart = part; }

private:
    CVRefPtr<CVCone> mGeometry;
    CVCone::Part mPart = CVCone::SIDES;
};
