// A sphere centred on the origin; a negative radius draws wire.
#pragma once

#include "scene/model/SFields.h"
#include "scene/nodes/Geometry.h"

class CVSphere : public CVGeometry {
    LUMO_DECLARE_NODE(CVSphere)

public:
    CVSphere();
    CVSFFloat radius;
    int slices = 12;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // The slice count that suits a sphere of the given size.
    static int CalculateSpherePrecision(float size);
    // The slice count a draw uses: even, 48 above 46, 12 for a wire sphere.
    int EffectiveSlices() const;

private:
    void Draw(int n, float r);
};
