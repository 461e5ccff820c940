#include "scene/nodes/Lights.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

LUMO_IMPLEMENT_CLASS(CVLight, CVChild)
LUMO_IMPLEMENT_NODE(CVDirectionalLight, CVLight)
LUMO_IMPLEMENT_CLASS(CVLightModel, CVChild)
LUMO_IMPLEMENT_CLASS(CVClipPlane, CVChild)
LUMO_IMPLEMENT_CLASS(CVDrawStyle, CVChild)
LUMO_IMPLEMENT_CLASS(CVPolygonOffset, CVChild)

namespace {
bool InPickMode(const CVState* state) { return state && state->m_bPickMode; }
} // namespace

CVLight::CVLight()
{
    color.SetValue(1.0f, 1.0f, 1.0f);
    intensity.SetValue(1.0f);
    on.SetValue(1);
}

int CVLight::FindUnusedGLLight(unsigned& id, int maxLights)
{
    for (int i = 0; i < maxLights; ++i)
        if (!glIsEnabled(GLenum(GL_LIGHT0 + i))) {
            id = unsigned(GL_LIGHT0 + i);
            return 1;
        }
    return 0;
}

CVDirectionalLight::CVDirectionalLight() { direction.SetValue(0.0f, 0.0f, -1.0f); }

void CVDirectionalLight::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVDirectionalLight>(L"DirectionalLight")
        .Field(L"ambientIntensity", &CVDirectionalLight::ambientIntensity)
        .Field(L"color", &CVDirectionalLight::color)
        .Field(L"direction", &CVDirectionalLight::direction)
        .Field(L"intensity", &CVDirectionalLight::intensity)
        .Field(L"on", &CVDirectionalLight::on);
}

void CVDirectionalLight::Render(CVState* state, CVGLRenderArea* area)
{
    if (InPickMode(state) || !on.GetValue() || !area)
        return;
    unsigned light;
    if (!FindUnusedGLLight(light, area->GetMaxLights()))
        return;
    const Point3fStruct& d = direction.GetValue();
    const GLfloat position[4] = {-d.x, -d.y, -d.z, 0.0f};
    const RGBColorStruct& c = color.GetValue();
    float a = ambientIntensity.GetValue(), i = intensity.GetValue();
    const GLfloat ambient[4] = {c.red * a, c.green * a, c.blue * a, 1.0f};
    const GLfloat diffuse[4] = {c.red * i, c.green * i, c.blue * i, 1.0f};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, diffuse);
    glEnable(light);
    area->SetLightNode(this);
}

CVLightModel::CVLightModel()
{
    lightingOn.SetValue(1);
    viewerMode.SetValue(1);
    ambientColor.SetValue(0.2f, 0.2f, 0.2f);
}

void CVLightModel::Render(CVState* state, CVGLRenderArea*)
{
    if (InPickMode(state))
        return;
    if (lightingOn.GetValue())
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    if (viewerMode.GetValue() == 0)
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    else if (viewerMode.GetValue() == 1)
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    const RGBColorStruct& c = ambientColor.GetValue();
    const GLfloat ambient[4] = {c.red, c.green, c.blue, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSided.GetValue() ? 1 : 0);
}

CVClipPlane::CVClipPlane()
{
    on.SetValue(1);
    normal.SetValue(1.0f, 0.0f, 0.0f);
}

int CVClipPlane::FindUnusedGLClipPlane(unsigned& id)
{
    GLint count = 6;
    glGetIntegerv(GL_MAX_CLIP_PLANES, &count);
    for (int i = 0; i < count; ++i)
        if (!glIsEnabled(GLenum(GL_CLIP_PLANE0 + i))) {
            id = unsigned(GL_CLIP_PLANE0 + i);
            return 1;
        }
    return 0;
}

void CVClipPlane::Render(CVState*, CVGLRenderArea*)
{
    unsigned plane;
    if (!on.GetValue() || !FindUnusedGLClipPlane(plane))
        return;
    CVVector n(normal.GetValue());
    n.Normalize();
    const GLdouble equation[4] = {n.x, n.y, n.z, -double(distance.GetValue())};
    glClipPlane(plane, equation);
    glEnable(plane);
}

void CVClipPlane::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    box->MakeEmpty();
    if (on.GetValue())
        box->AddClipInfo(CVVector(normal.GetValue()), distance.GetValue());
}

CVDrawStyle::CVDrawStyle() { lineWidth.SetValue(1.0f); }

void CVDrawStyle::Render(CVState*, CVGLRenderArea*)
{
    switch (style.GetValue()) {
    case LINES: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); break;
    case POINTS: glPolygonMode(GL_FRONT_AND_BACK, GL_POINT); break;
    case INVISIBLE: break;
    default: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); break;
    }
}

void CVPolygonOffset::Render(CVState*, CVGLRenderArea*)
{
    auto set = [](GLenum cap, bool enabled) { enabled ? glEnable(cap) : glDisable(cap); };
    set(GL_POLYGON_OFFSET_FILL, fillOffset.GetValue());
    set(GL_POLYGON_OFFSET_LINE, lineOffset.GetValue());
    set(GL_POLYGON_OFFSET_POINT, pointOffset.GetValue());
    glPolygonOffset(factor.GetValue(), units.GetValue());
}
