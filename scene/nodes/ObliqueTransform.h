// A transform that first shears depth into x and y, for oblique (cabinet
// style) projections of charts. Not readable from documents.
#pragma once

#include "scene/nodes/Transform.h"

class CVObliqueTransform : public CVTransform {
    LUMO_DECLARE_CLASS(CVObliqueTransform)

public:
    CVObliqueTransform();

    CVSFFloat obliqueAngle1;  // radians
    CVSFFloat obliqueAngle2;  // radians
    CVSFFloat referenceDepth;

    void Render(CVState* state, CVGLRenderArea* area) override;
    // The shear offsets at depth z.
    void GetObliqueTranslation(double z, double& dx, double& dy) const;
    static void GetObliqueTranslation(double z, double angle1, double angle2, double referenceDepth, double& dx,
                                      double& dy);
    // Keeps an angle away from the directions where the shear becomes infinite.
    static double ConditionAngle(double angle);
};
