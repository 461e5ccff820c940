#include "scene/nodes/Billboard.h"

#include "scene/core/Action.h"
#include "scene/model/Matrix.h"
#include "scene/model/Plane.h"

#include <GL/gl.h>

#include <cmath>

LUMO_IMPLEMENT_NODE(CVBillboard, CVGroup)

namespace {

const float kRadiansPerDegree = 0.017453292f;

// The inverse of the current model-view matrix, in CVMatrix's row layout.
CVMatrix InverseModelView()
{
    float gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    CVMatrix m;
    m.SetValue(gl);
    return m.Transpose().Inverse();
}

// Rotates 'from' onto 'to' about their common normal.
void RotateOnto(const CVVector& from, const CVVector& to)
{
    CVVector axis = from * to;
    float angle = from.Angle(to);
    if (angle != 0.0f && axis.Length() > 0.0f)
        glRotatef(angle / kRadiansPerDegree, axis.x, axis.y, axis.z);
}

} // namespace

CVBillboard::CVBillboard() { axisOfRotation.SetValue(0.0f, 1.0f, 0.0f); }

void CVBillboard::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVBillboard>(L"Billboard")
        .Field(L"children", &CVBillboard::children)
        .Field(L"axisOfRotation", &CVBillboard::axisOfRotation)
        .Field(L"bboxCenter", &CVBillboard::bboxCenter)
        .Field(L"bboxSize", &CVBillboard::bboxSize);
}

void CVBillboard::Traverse(CVAction* action, const CVNodePath* path, int index)
{
    WalkWithModelView(action, path, index); // no selectable test
}

void CVBillboard::Render(CVState*, CVGLRenderArea*)
{
    const CVVector axis(axisOfRotation.GetValue());
    if (std::fabs(axis.x) < 1e-7f && std::fabs(axis.y) < 1e-7f && std::fabs(axis.z) < 1e-7f) {
        // Screen alignment: bring the local x axis, then the y axis, onto the view's.
        const CVVector xAxis(1, 0, 0), yAxis(0, 1, 0);
        CVVector x;
        InverseModelView().MultDirMatrix(xAxis, x);
        RotateOnto(xAxis, x);
        CVVector y;
        InverseModelView().MultDirMatrix(yAxis, y);
        RotateOnto(yAxis, y);
        return;
    }
    const CVVector zAxis(0, 0, 1);
    if (axis.IsParallel(zAxis))
        return;
    CVVector eye;
    InverseModelView().MultVecMatrix(CVVector(0, 0, 0), eye);
    CVVector onPlane = eye.Project(CVPlane(axis, 0.0f));
    RotateOnto(zAxis, onPlane);
}
