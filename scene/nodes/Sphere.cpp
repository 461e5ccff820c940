#include "scene/nodes/Sphere.h"

#include "scene/cache/CacheManager.h"
#include "scene/core/State.h"
#include "scene/model/Box3f.h"

#include <GL/gl.h>

#include <cmath>

LUMO_IMPLEMENT_NODE(CVSphere, CVGeometry)

namespace {
const float kPi = 3.14159265358979f;
}

CVSphere::CVSphere() { radius.SetValue(1.0f); }

void CVSphere::AddToTypeNameSpace() { CVNodeTypeBuilder<CVSphere>(L"Sphere").Field(L"radius", &CVSphere::radius); }

void CVSphere::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    float d = 2 * std::fabs(radius.GetValue());
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(CVVector(d, d, d));
}

int CVSphere::CalculateSpherePrecision(float size)
{
    int k = int(std::fabs(size) * 360.0f);
    if (k <= 12)
        return 12;
    if (k <= 16)
        return 16;
    if (k <= 24)
        return 24;
    if (k <= 36)
        return 36;
    return 48;
}

int CVSphere::EffectiveSlices() const
{
    if (radius.GetValue() < 0.0f)
        return 12;
    int n = slices + (slices % 2);
    if (n > 46 && n != 48)
        n = 48;
    return n < 2 ? 2 : n;
}

void CVSphere::Draw(int n, float r)
{
    int m = n / 2;
    for (int i = 0; i < m; ++i) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j <= n; ++j) {
            float theta = kPi / 2 + float(j) * 2 * kPi / float(n);
            for (int row : {i + 1, i}) {
                float phi = kPi / 2 + float(row) * kPi / float(m);
                float x = r * std::cos(phi) * std::cos(theta), y = r * std::sin(phi),
                      z = r * std::cos(phi) * std::sin(theta);
                glNormal3f(x, y, z);
                glTexCoord2f(1.0f - float(j) / float(n), 1.0f - float(row) / float(m));
                glVertex3f(x, y, z);
            }
        }
        glEnd();
    }
}

void CVSphere::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    float r = radius.GetValue();
    bool wire = r < 0.0f;
    int n = EffectiveSlices();
    r = std::fabs(r);
    PreRenderGL(state, area, appearance);
    glPushAttrib(GL_POLYGON_BIT);
    if (wire)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    bool stretch = !IsVRMLCompliant();
    if (stretch) {
        PushTextureScale(3.0f, 3.0f);
    }
    DrawCached(
        state, [&](CVCacheManager& c) { return c.GetCachedSphere(n, r); },
        [&](CVCacheManager& c) { return c.NewCachedSphere(n, r); }, [&] { Draw(n, r); });
    if (stretch) {
        PopTextureScale();
    }
    glPopAttrib();
    PostRenderGL(state, area, appearance);
}
