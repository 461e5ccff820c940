#include "scene/nodes/Transform.h"

#include "scene/core/Action.h"

#include <GL/gl.h>

LUMO_IMPLEMENT_NODE(CVTransform, CVGroup)

namespace {
const float kRadiansPerDegree = 0.017453292f;

bool IsZero(const Point3fStruct& p) { return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f; }
} // namespace

CVTransform::CVTransform()
{
    rotation.SetValue(1.0f, 0.0f, 0.0f, 0.0f);
    scale.SetValue(1.0f, 1.0f, 1.0f);
}

void CVTransform::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVTransform>(L"Transform")
        .Field(L"center", &CVTransform::center)
        .Field(L"children", &CVTransform::children)
        .Field(L"rotation", &CVTransform::rotation)
        .Field(L"scale", &CVTransform::scale)
        .Field(L"scaleOrientation", &CVTransform::scaleOrientation)
        .Field(L"translation", &CVTransform::translation)
        .Field(L"bboxCenter", &CVTransform::bboxCenter)
        .Field(L"bboxSize", &CVTransform::bboxSize);
}

void CVTransform::Traverse(CVAction* action, const CVNodePath* path, int index)
{
    if (!SkippedInPickMode(action))
        WalkWithModelView(action, path, index);
}

void CVTransform::Render(CVState*, CVGLRenderArea*)
{
    const Point3fStruct& t = translation.GetValue();
    const Point3fStruct& c = center.GetValue();
    const CVRotation& r = rotation.GetValue();
    const Point3fStruct& s = scale.GetValue();
    const CVRotation& so = scaleOrientation.GetValue();

    if (!IsZero(t))
        glTranslatef(t.x, t.y, t.z);
    bool centred = !IsZero(c);
    if (centred)
        glTranslatef(c.x, c.y, c.z);
    if (r.angle != 0.0f)
        glRotatef(r.angle / kRadiansPerDegree, r.x, r.y, r.z);
    if (so.angle == 0.0f) {
        if (s.x != 1.0f || s.y != 1.0f || s.z != 1.0f)
            glScalef(s.x, s.y, s.z);
    } else {
        glRotatef(so.angle / kRadiansPerDegree, so.x, so.y, so.z);
        glScalef(s.x, s.y, s.z);
        glRotatef(-so.angle / kRadiansPerDegree, so.x, so.y, so.z);
    }
    if (centred)
        glTranslatef(-c.x, -c.y, -c.z);
}

CVMatrix CVTransform::GetMatrix()
{
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    Render(nullptr, nullptr);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    glMatrixMode(GLenum(mode));
    CVMatrix result;
    result.SetValue(m);
    return result;
}

CVMatrix CVTransform::GetRowMatrix() { return GetMatrix().Transpose(); }
