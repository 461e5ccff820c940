#include "scene/nodes/Polygon.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_CLASS(CVPolygon, CVGeometry)

namespace {
const float kHuge = 3.4028235e38f;

bool Same(const Point3fStruct& a, const Point3fStruct& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
} // namespace

CVPolygon::CVPolygon() { DeletePointArray(); }

void CVPolygon::DeletePointArray(int)
{
    mPoints.clear();
    mPrimitives.clear();
    mMin = {kHuge, kHuge, kHuge};
    mMax = {-kHuge, -kHuge, -kHuge};
    SetModifiedFlag(1);
}

void CVPolygon::SetPointArray(const Point3fStruct* points, int count)
{
    DeletePointArray();
    if (!points || count < 1)
        return;
    mPoints.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        if (mPoints.empty() || !Same(points[i], mPoints.back()))
            mPoints.push_back(points[i]);
    if (mPoints.size() > 1 && Same(mPoints.back(), mPoints.front()))
        mPoints.pop_back();
    for (const Point3fStruct& p : mPoints) {
        mMin = {std::min(mMin.x, p.x), std::min(mMin.y, p.y), std::min(mMin.z, p.z)};
        mMax = {std::max(mMax.x, p.x), std::max(mMax.y, p.y), std::max(mMax.z, p.z)};
    }
    TessellatePolygon();
}

void CVPolygon::TessellatePolygon()
{
    mPrimitives.clear();
    SetModifiedFlag(1);
    if (mConvex) {
        if (mPoints.size() >= 3) {
            lumo::TessPrimitive fan;
            fan.type = GL_TRIANGLE_FAN;
            fan.vertices = mPoints;
            mPrimitives.push_back(std::move(fan));
        }
        return;
    }
    mPrimitives = lumo::Tessellate(mPoints, nullptr, false);
}

void CVPolygon::TexCoord(const Point3fStruct& p, float out[2]) const
{
    float dx = mMax.x - mMin.x, dy = mMax.y - mMin.y, dz = mMax.z - mMin.z;
    out[0] = (p.x - mMin.x) / dx;
    if (dy > 0.0f)
        out[1] = 1.0f - (p.y - mMin.y) / dy;
    else if (dz > 0.0f)
        out[1] = 1.0f - (p.z - mMin.z) / dz;
    else
        out[1] = 0.0f;
}

void CVPolygon::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (mPoints.empty())
        return;
    box->Set(CVVector(mMin), CVVector(mMax));
}

void CVPolygon::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    if (mPrimitives.empty())
        return;
    bool pick = state && state->m_bPickMode;
    if (pick) {
        for (const lumo::TessPrimitive& prim : mPrimitives) {
            glBegin(GLenum(prim.type));
            for (const Point3fStruct& v : prim.vertices)
                glVertex3f(v.x, v.y, v.z);
            glEnd();
        }
        return;
    }
    PreRenderGL(state, area, appearance);
    CVVector normal;
    ComputeNormal(mPoints, mCcw, normal);
    float length = normal.Length();
    // A polygon with no area has no direction: it faces +z rather than
    // handing OpenGL a zero normal to normalise.
    if (!(length > 0.0f) || !std::isfinite(length))
        normal = CVVector(0, 0, 1);
    else
        normal = normal * (1.0f / length);
    glNormal3f(normal.x, normal.y, normal.z);
    glDisable(GL_CULL_FACE); // PostRenderGL restores it
    // Every primitive gets texture coordinates, so that a texture covers the
    // whole polygon however the tessellator split it.
    bool textured = mMax.x - mMin.x > 0.0f;
    for (const lumo::TessPrimitive& prim : mPrimitives) {
        glBegin(GLenum(prim.type));
        for (const Point3fStruct& v : prim.vertices) {
            if (textured) {
                float tc[2];
                TexCoord(v, tc);
                glTexCoord2fv(tc);
            }
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }
    PostRenderGL(state, area, appearance);
    if (mOutlineVisible)
        RenderOutline(area, mOutlineThickness);
}

void CVPolygon::RenderOutline(CVGLRenderArea*, float thickness)
{
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    if (IsAntialiased()) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    float width = thickness > 0.0f && std::isfinite(thickness) ? thickness : 1.0f;
    glLineWidth(width);
    glPointSize(width);
    glColor3f(mOutlineColor.red, mOutlineColor.green, mOutlineColor.blue);
    glBegin(GL_LINE_LOOP);
    for (const Point3fStruct& p : mPoints)
        glVertex3f(p.x, p.y, p.z);
    glEnd();
    if (width > 2.0f) {
        // Wide lines leave notches at the corners; dots fill them.
        glBegin(GL_POINTS);
        for (const Point3fStruct& p : mPoints)
            glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
    glPopAttrib();
}
