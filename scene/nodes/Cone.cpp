#include "scene/nodes/Cone.h"

#include "scene/cache/CacheManager.h"
#include "scene/core/State.h"
#include "scene/model/Box3f.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

LUMO_IMPLEMENT_NODE(CVCone, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVConeDetail, CVDetail)

namespace {
const float kPi = 3.14159265358979f;
}

CVCone::CVCone()
{
    bottomRadius.SetValue(1.0f);
    height.SetValue(2.0f);
    side.SetValue(1);
    bottom.SetValue(1);
}

void CVCone::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVCone>(L"Cone")
        .Field(L"bottomRadius", &CVCone::bottomRadius)
        .Field(L"height", &CVCone::height)
        .Field(L"side", &CVCone::side)
        .Field(L"bottom", &CVCone::bottom);
}

void CVCone::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    float r = bottomRadius.GetValue();
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(CVVector(2 * r, std::fabs(height.GetValue()), 2 * r));
}

CVDetail* CVCone::GetPickDetail(unsigned int)
{
    auto* detail = new CVConeDetail(this);
    detail->SetPart(SIDES);
    return detail;
}

void CVCone::Draw(float r, float h)
{
    int n = slices > 0 ? slices : 16;
    std::vector<float> xs(size_t(n) + 1), zs(size_t(n) + 1);
    for (int k = 0; k <= n; ++k) {
        float a = -kPi / 2 + float(k) * 2 * kPi / float(n);
        xs[size_t(k)] = r * std::cos(a);
        zs[size_t(k)] = r * std::sin(a);
    }
    bool stretch = !IsVRMLCompliant();
    if (stretch) {
        PushTextureScale(3.0f, 1.0f);
    }
    if (side.GetValue()) {
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < n; ++k) {
            float t0 = 1.0f - float(k) / float(n), t1 = 1.0f - float(k + 1) / float(n);
            glNormal3f(xs[size_t(k)] * 0.5f, 0.0f, zs[size_t(k)] * 0.5f);
            glTexCoord2f(t0, 0.0f);
            glVertex3f(xs[size_t(k)], -h / 2, zs[size_t(k)]);
            glTexCoord2f(t0 - 1.0f / (2.0f * float(n)), 1.0f);
            glVertex3f(0.0f, h / 2, 0.0f);
            glNormal3f(xs[size_t(k) + 1] * 0.5f, 0.0f, zs[size_t(k) + 1] * 0.5f);
            glTexCoord2f(t1, 0.0f);
            glVertex3f(xs[size_t(k) + 1], -h / 2, zs[size_t(k) + 1]);
        }
        glEnd();
    }
    if (stretch) {
        PopTextureScale();
    }
    if (bottom.GetValue()) {
        glBegin(GL_TRIANGLE_FAN);
        glNormal3f(0.0f, -1.0f, 0.0f);
        glTexCoord2f(0.5f, 0.5f);
        glVertex3f(0.0f, -h / 2, 0.0f);
        for (int k = 0; k <= n; ++k) {
            float x = xs[size_t(k)], z = zs[size_t(k)];
            if (r != 0.0f)
                glTexCoord2f((r + x) / (2 * r), (r + z) / (2 * r));
            glVertex3f(x, -h / 2, z);
        }
        glEnd();
    }
}

void CVCone::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    float r = bottomRadius.GetValue(), h = height.GetValue();
    bool wire = h < 0.0f;
    h = std::fabs(h);
    PreRenderGL(state, area, appearance);
    glPushAttrib(GL_POLYGON_BIT);
    if (wire)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    int key = CacheKey(slices), hasBottom = bottom.GetValue(), hasSide = side.GetValue();
    DrawCached(
        state, [&](CVCacheManager& c) { return c.GetCachedCone(key, r, h, hasBottom, hasSide); },
        [&](CVCacheManager& c) { return c.NewCachedCone(key, r, h, hasBottom, hasSide); }, [&] { Draw(r, h); });
    glPopAttrib();
    PostRenderGL(state, area, appearance);
}
