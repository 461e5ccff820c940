#include "scene/nodes/ObliqueTransform.h"

#include <GL/gl.h>

#include <cmath>

LUMO_IMPLEMENT_CLASS(CVObliqueTransform, CVTransform)

namespace {
const double kPi = 3.14159265358979323846;
const double kOneDegree = 0.017453292519943295;
} // namespace

CVObliqueTransform::CVObliqueTransform()
{
    obliqueAngle1.SetValue(1.3659098f);
    obliqueAngle2.SetValue(1.3659098f);
}

double CVObliqueTransform::ConditionAngle(double angle)
{
    angle = std::fmod(angle, 2.0 * kPi);
    if (angle > -kOneDegree && angle < kOneDegree)
        angle = kOneDegree;
    else if (angle > 3.12413936106985 && angle < 3.159045946109736)
        angle = 3.159045946109736;
    return angle;
}

void CVObliqueTransform::GetObliqueTranslation(double z, double angle1, double angle2, double referenceDepth,
                                               double& dx, double& dy)
{
    double s1 = std::tan(ConditionAngle(angle1) + kPi / 2.0);
    double s2 = std::tan(ConditionAngle(angle2) + kPi / 2.0);
    dx = (z - referenceDepth) * s1;
    dy = (z - referenceDepth) * s2;
}

void CVObliqueTransform::GetObliqueTranslation(double z, double& dx, double& dy) const
{
    GetObliqueTranslation(z, obliqueAngle1.GetValue(), obliqueAngle2.GetValue(), referenceDepth.GetValue(), dx, dy);
}

void CVObliqueTransform::Render(CVState* state, CVGLRenderArea* area)
{
    double s1 = std::tan(ConditionAngle(obliqueAngle1.GetValue()) + kPi / 2.0);
    double s2 = std::tan(ConditionAngle(obliqueAngle2.GetValue()) + kPi / 2.0);
    double d = referenceDepth.GetValue();
    // Column-major: s1 and s2 sit in the z column of the x and y rows.
    const double shear[16] = {1, 0, 0, 0, 0, 1, 0, 0, s1, s2, 1, 0, -d * s1, -d * s2, 0, 1};
    glMultMatrixd(shear);
    CVTransform::Render(state, area);
}
