#include "scene/nodes/Cylinder.h"

#include "scene/cache/CacheManager.h"
#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Appearance.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

LUMO_IMPLEMENT_NODE(CVCylinder, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVCylinderDetail, CVDetail)

namespace {
const float kPi = 3.14159265358979f;

struct Ring {
    std::vector<float> x, z;
    Ring(int n, float r) : x(size_t(n) + 1), z(size_t(n) + 1)
    {
        for (int k = 0; k < n; ++k) {
            float a = -kPi / 2 + float(k) * 2 * kPi / float(n);
            x[size_t(k)] = r * std::cos(a);
            z[size_t(k)] = r * std::sin(a);
        }
        x[size_t(n)] = x[0]; // closed by repeating the first point
        z[size_t(n)] = z[0];
    }
};
} // namespace

CVCylinder::CVCylinder()
{
    bottom.SetValue(1);
    height.SetValue(2.0f);
    radius.SetValue(1.0f);
    side.SetValue(1);
    top.SetValue(1);
    SetAntialiasedFlag(1);
}

void CVCylinder::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVCylinder>(L"Cylinder")
        .Field(L"bottom", &CVCylinder::bottom)
        .Field(L"height", &CVCylinder::height)
        .Field(L"radius", &CVCylinder::radius)
        .Field(L"side", &CVCylinder::side)
        .Field(L"top", &CVCylinder::top);
}

void CVCylinder::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    float r = radius.GetValue();
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(CVVector(2 * r, std::fabs(height.GetValue()), 2 * r));
}

CVDetail* CVCylinder::GetPickDetail(unsigned int)
{
    auto* detail = new CVCylinderDetail(this);
    detail->SetPart(TOP);
    return detail;
}

void CVCylinder::Draw(float r, float sideScale)
{
    int n = slices;
    Ring ring(n, r);
    bool stretch = !IsVRMLCompliant();
    if (stretch) {
        PushTextureScale(3.0f, sideScale);
    }
    if (side.GetValue()) {
        glBegin(GL_QUAD_STRIP);
        for (int k = 0; k <= n; ++k) {
            float x = ring.x[size_t(k)], z = ring.z[size_t(k)], t = 1.0f - float(k) / float(n);
            glNormal3f(x, 0.0f, z);
            glTexCoord2f(t, 0.0f);
            glVertex3f(x, -0.5f, z);
            glTexCoord2f(t, 1.0f);
            glVertex3f(x, 0.5f, z);
        }
        glEnd();
    }
    if (stretch) {
        PopTextureScale();
    }
    glEdgeFlag(GL_TRUE);
    glDisable(GL_CULL_FACE);
    float d = r != 0.0f ? 2 * r : 1.0f;
    if (top.GetValue()) {
        glBegin(GL_POLYGON);
        glNormal3f(0.0f, 1.0f, 0.0f);
        for (int k = n; k >= 1; --k) {
            float x = ring.x[size_t(k)], z = ring.z[size_t(k)];
            glTexCoord2f((x + r) / d, (r - z) / d);
            glVertex3f(x, 0.5f, z);
        }
        glEnd();
    }
    if (bottom.GetValue()) {
        glBegin(GL_POLYGON);
        glNormal3f(0.0f, -1.0f, 0.0f);
        for (int k = 0; k < n; ++k) {
            float x = ring.x[size_t(k)], z = ring.z[size_t(k)];
            glTexCoord2f((x + r) / d, (r + z) / d);
            glVertex3f(x, -0.5f, z);
        }
        glEnd();
    }
}

void CVCylinder::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    float r = radius.GetValue(), h = height.GetValue();
    if (slices == kInitialSlices)
        slices = r > 0.1f ? 26 : r > 0.05f ? 20 : kInitialSlices;
    bool wire = h < 0.0f;
    h = std::fabs(h);
    PreRenderGL(state, area, appearance);
    glPushAttrib(GL_POLYGON_BIT);
    if (wire)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glPushMatrix();
    glScalef(1.0f, h, 1.0f);
    // A tiled texture keeps its aspect around the side: its t runs h / 2r
    // times. The scale is compiled into the list, so it is part of the key.
    CVTexture* texture = appearance ? appearance->texture.GetValue() : nullptr;
    float sideScale = !IsVRMLCompliant() && texture && texture->IsTiled() && r != 0.0f ? h / (2.0f * r) : 1.0f;
    int key = CacheKey(slices), hasTop = top.GetValue(), hasBottom = bottom.GetValue(), hasSide = side.GetValue();
    DrawCached(
        state, [&](CVCacheManager& c) { return c.GetCachedCylinder(key, r, sideScale, hasTop, hasBottom, hasSide); },
        [&](CVCacheManager& c) { return c.NewCachedCylinder(key, r, sideScale, hasTop, hasBottom, hasSide); },
        [&] { Draw(r, sideScale); });
    if (!(state && state->m_bPickMode) && IsStippled() && IsPartialSelection() && GetStipplePercent() > 0 && area)
        RenderPartialSelection(GetStipplePercent() * 0.01f, area->GetSelectionColor());
    glPopMatrix();
    glPopAttrib();
    PostRenderGL(state, area, appearance);
}

void CVCylinder::RenderPartialSelection(float fraction, RGBColorStruct color)
{
    if (!side.GetValue())
        return;
    float r = radius.GetValue(), q = std::min(fraction, 1.0f);
    Ring ring(slices, r);
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT);
    glColor3f(color.red, color.green, color.blue);
    glDisable(GL_LIGHTING);
    glEnable(GL_POLYGON_STIPPLE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= slices; ++k) {
        glVertex3f(ring.x[size_t(k)], -0.5f, ring.z[size_t(k)]);
        glVertex3f(ring.x[size_t(k)], -0.5f + q, ring.z[size_t(k)]);
    }
    glEnd();
    glDisable(GL_POLYGON_OFFSET_FILL);
    if (top.GetValue() && q == 1.0f) {
        glBegin(GL_POLYGON);
        for (int k = slices; k >= 1; --k)
            glVertex3f(ring.x[size_t(k)], 0.5f, ring.z[size_t(k)]);
        glEnd();
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBegin(GL_POLYGON);
    for (int k = 0; k < slices; ++k)
        glVertex3f(ring.x[size_t(k)], -0.5f + q, ring.z[size_t(k)]);
    glEnd();
    glPopAttrib();
}
