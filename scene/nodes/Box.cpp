#include "scene/nodes/Box.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Appearance.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVBox, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVBoxDetail, CVDetail)

namespace {

// Six faces of a unit cube: top, bottom, front, back, right, left.
const float kNormals[6][3] = {{0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}};
const float kVertices[6][4][3] = {
    {{-.5f, .5f, .5f}, {.5f, .5f, .5f}, {.5f, .5f, -.5f}, {-.5f, .5f, -.5f}},
    {{-.5f, -.5f, -.5f}, {.5f, -.5f, -.5f}, {.5f, -.5f, .5f}, {-.5f, -.5f, .5f}},
    {{-.5f, -.5f, .5f}, {.5f, -.5f, .5f}, {.5f, .5f, .5f}, {-.5f, .5f, .5f}},
    {{.5f, -.5f, -.5f}, {-.5f, -.5f, -.5f}, {-.5f, .5f, -.5f}, {.5f, .5f, -.5f}},
    {{.5f, -.5f, .5f}, {.5f, -.5f, -.5f}, {.5f, .5f, -.5f}, {.5f, .5f, .5f}},
    {{-.5f, -.5f, -.5f}, {-.5f, -.5f, .5f}, {-.5f, .5f, .5f}, {-.5f, .5f, -.5f}},
};
const float kTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

void Face(int f, bool withNormal)
{
    glBegin(GL_QUADS);
    if (withNormal)
        glNormal3fv(kNormals[f]);
    for (int v = 0; v < 4; ++v) {
        glTexCoord2fv(kTexCoords[v]);
        glVertex3fv(kVertices[f][v]);
    }
    glEnd();
}

} // namespace

void CVBox::DrawUnitFace(int face, bool withNormal)
{
    if (face >= 0 && face < 6)
        Face(face, withNormal);
}

CVBox::CVBox() { size.SetValue(2.0f, 2.0f, 2.0f); }

void CVBox::AddToTypeNameSpace() { CVNodeTypeBuilder<CVBox>(L"Box").Field(L"size", &CVBox::size); }

void CVBox::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(CVVector(size.GetValue()));
}

CVDetail* CVBox::GetPickDetail(unsigned int)
{
    auto* detail = new CVBoxDetail(this);
    detail->SetPart(FRONT);
    return detail;
}

void CVBox::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    const Point3fStruct& s = size.GetValue();
    bool flat = s.z == 0.0f;
    int faces = flat ? 1 : 6;
    glPushMatrix();
    bool wire = s.x < 0.0f;
    if (wire) {
        glScalef(-s.x, -s.y, -s.z);
    } else if (flat) {
        // A flat box is its front face at z = 0. Scaling z by 0 would do the
        // same but leave OpenGL a singular matrix to light with.
        glScalef(s.x, s.y, 1.0f);
        glTranslatef(0.0f, 0.0f, -0.5f);
    } else {
        glScalef(s.x, s.y, s.z);
    }
    if (state && state->m_bPickMode) {
        for (int f = flat ? FRONT : 0; f < (flat ? FRONT + 1 : 6); ++f)
            Face(f, false);
        glPopMatrix();
        return;
    }
    PreRenderGL(state, area, appearance);
    glPushAttrib(GL_POLYGON_BIT);
    if (wire)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEdgeFlag(GL_TRUE);
    if (!flat) {
        Face(TOP, true);
        Face(BOTTOM, true);
    }
    // A tiled texture keeps its aspect on the sides.
    bool stretchTexture = !IsVRMLCompliant() && appearance && appearance->texture.GetValue() &&
                          appearance->texture->IsTiled() && s.x != 0.0f;
    if (stretchTexture)
        PushTextureScale(1.0f, s.y / s.x);
    for (int f = FRONT; f < (flat ? FRONT + 1 : 6); ++f)
        Face(f, true);
    if (stretchTexture)
        PopTextureScale();
    if (flat || IsYAxisExtrusion()) {
        GLfloat pointSize = 1.0f;
        glGetFloatv(GL_POINT_SIZE, &pointSize);
        GLint modes[2] = {GL_FILL, GL_FILL};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        if (pointSize > 2.0f && modes[0] == GL_LINE) {
            glBegin(GL_POINTS);
            for (int v = 0; v < 4; ++v)
                glVertex3fv(kVertices[FRONT][v]);
            glEnd();
        }
    }
    glPopAttrib();
    if (IsStippled() && IsPartialSelection() && GetStipplePercent() > 0)
        RenderPartialSelection(GetStipplePercent() * 0.01f, faces, RGBColorStruct{1, 1, 1});
    PostRenderGL(state, area, appearance);
    glPopMatrix();
}

void CVBox::RenderPartialSelection(float fraction, int faces, RGBColorStruct color)
{
    // With colour material on, the colour below also becomes the material's
    // diffuse colour: the lighting state is saved so that what is drawn
    // next keeps its own material.
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glColor3f(color.red, color.green, color.blue);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_STIPPLE);
    glDisable(GL_LIGHTING);
    const float o = 0.5005f;
    float h = std::min(fraction, 1.0f) - 0.5f;
    auto quad = [](float x0, float y0, float z0, float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                   float y3, float z3) {
        glBegin(GL_QUADS);
        glVertex3f(x0, y0, z0);
        glVertex3f(x1, y1, z1);
        glVertex3f(x2, y2, z2);
        glVertex3f(x3, y3, z3);
        glEnd();
    };
    quad(-.5f, -.5f, o, .5f, -.5f, o, .5f, h, o, -.5f, h, o); // front
    if (faces == 6) {
        quad(.5f, -.5f, -o, -.5f, -.5f, -o, -.5f, h, -o, .5f, h, -o); // back
        quad(o, -.5f, .5f, o, -.5f, -.5f, o, h, -.5f, o, h, .5f);     // right
        quad(-o, -.5f, -.5f, -o, -.5f, .5f, -o, h, .5f, -o, h, -.5f); // left
        if (fraction >= 1.0f) {
            quad(-.5f, o, .5f, .5f, o, .5f, .5f, o, -.5f, -.5f, o, -.5f);
            quad(-.5f, -o, -.5f, .5f, -o, -.5f, .5f, -o, .5f, -.5f, -o, .5f);
        }
    }
    glPopAttrib();
}
