#include "scene/nodes/MarkerShape.h"

#include "scene/cache/CacheManager.h"
#include "scene/nodes/Tessellator.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// The outline point (u, v) at height h along the extrusion axis.
void Place(CVMarkerShape::Plane plane, float u, float v, float h, float out[3])
{
    if (plane == CVMarkerShape::PLANE_XZ) {
        out[0] = u, out[1] = h, out[2] = v;
    } else {
        out[0] = u, out[1] = v, out[2] = h;
    }
}

} // namespace

CVMarkerShape::CVMarkerShape(Plane plane, std::vector<Point2fStruct> outline)
    : mPlane(plane), mOutline(std::move(outline))
{
    BuildWalls();
    BuildCaps();
}

void CVMarkerShape::Orient(std::vector<Vertex>& face, const float n[3])
{
    const float* a = face[0].p;
    const float* b = face[1].p;
    const float* c = face[2].p;
    float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    float e2[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    float g[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    if (g[0] * n[0] + g[1] * n[1] + g[2] * n[2] >= 0.0f)
        return;
    // Reverse the winding; each edge keeps its own flag, which now starts
    // at the edge's other end.
    std::vector<Vertex> reversed(face.rbegin(), face.rend());
    size_t k = reversed.size();
    for (size_t i = 0; i < k; ++i)
        reversed[i].boundary = face[(2 * k - 2 - i) % k].boundary;
    face.swap(reversed);
}

void CVMarkerShape::BuildWalls()
{
    size_t n = mOutline.size();
    if (n < 3)
        return;
    double area = 0.0, perimeter = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const Point2fStruct& p = mOutline[i];
        const Point2fStruct& q = mOutline[(i + 1) % n];
        area += double(p.x) * q.y - double(q.x) * p.y;
        perimeter += std::hypot(double(q.x) - p.x, double(q.y) - p.y);
    }
    double along = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const Point2fStruct& p = mOutline[i];
        const Point2fStruct& q = mOutline[(i + 1) % n];
        double du = double(q.x) - p.x, dv = double(q.y) - p.y;
        double length = std::hypot(du, dv);
        if (length == 0.0)
            continue; // a repeated point makes no wall (and no normal)
        // Outward: to the right of a counter-clockwise outline, to the left
        // of a clockwise one.
        double nu = (area > 0 ? dv : -dv) / length, nv = (area > 0 ? -du : du) / length;
        float normal[3];
        Place(mPlane, float(nu), float(nv), 0.0f, normal);
        float s0 = float(along / perimeter), s1 = float((along + length) / perimeter);
        along += length;
        std::vector<Vertex> quad(4);
        Place(mPlane, p.x, p.y, -0.5f, quad[0].p);
        Place(mPlane, q.x, q.y, -0.5f, quad[1].p);
        Place(mPlane, q.x, q.y, 0.5f, quad[2].p);
        Place(mPlane, p.x, p.y, 0.5f, quad[3].p);
        const float tc[4][2] = {{s0, 0}, {s1, 0}, {s1, 1}, {s0, 1}};
        for (int k = 0; k < 4; ++k) {
            quad[size_t(k)].tc[0] = tc[k][0];
            quad[size_t(k)].tc[1] = tc[k][1];
            quad[size_t(k)].boundary = 1;
        }
        Orient(quad, normal);
        mWalls.insert(mWalls.end(), quad.begin(), quad.end());
        mWallNormals.insert(mWallNormals.end(), normal, normal + 3);
    }
}

void CVMarkerShape::BuildCaps()
{
    std::vector<Point3fStruct> flat;
    flat.reserve(mOutline.size());
    for (const Point2fStruct& p : mOutline)
        flat.push_back({p.x, p.y, 0.0f});
    const Point3fStruct up{0, 0, 1};
    for (const lumo::TessPrimitive& prim : lumo::Tessellate(flat, &up, true)) {
        if (prim.type != GL_TRIANGLES)
            continue; // with edge flags the tessellator gives only triangles
        for (size_t t = 0; t + 2 < prim.vertices.size(); t += 3) {
            for (int cap = 0; cap < 2; ++cap) {
                float h = cap ? 0.5f : -0.5f;
                float normal[3];
                Place(mPlane, 0.0f, 0.0f, cap ? 1.0f : -1.0f, normal);
                std::vector<Vertex> tri(3);
                for (size_t k = 0; k < 3; ++k) {
                    const Point3fStruct& v = prim.vertices[t + k];
                    Place(mPlane, v.x, v.y, h, tri[k].p);
                    tri[k].tc[0] = v.x + 0.5f;
                    // Upright on screen: a marker turns its outline's +z downwards.
                    tri[k].tc[1] = mPlane == PLANE_XZ ? 0.5f - v.y : v.y + 0.5f;
                    tri[k].boundary = prim.boundary[t + k];
                }
                Orient(tri, normal);
                mCaps[cap].insert(mCaps[cap].end(), tri.begin(), tri.end());
            }
        }
    }
}

void CVMarkerShape::DrawWalls(bool attributes) const
{
    glBegin(GL_QUADS);
    for (size_t w = 0; w < mWalls.size() / 4; ++w) {
        if (attributes)
            glNormal3fv(&mWallNormals[w * 3]);
        for (size_t k = 0; k < 4; ++k) {
            const Vertex& v = mWalls[w * 4 + k];
            if (attributes)
                glTexCoord2fv(v.tc);
            glVertex3fv(v.p);
        }
    }
    glEnd();
}

void CVMarkerShape::DrawCaps(bool attributes) const
{
    for (int cap = 0; cap < 2; ++cap) {
        float normal[3];
        Place(mPlane, 0.0f, 0.0f, cap ? 1.0f : -1.0f, normal);
        glBegin(GL_TRIANGLES);
        if (attributes)
            glNormal3fv(normal);
        for (const Vertex& v : mCaps[cap]) {
            // Cuts between triangles are no edges: line mode shows the outline.
            glEdgeFlag(v.boundary ? GL_TRUE : GL_FALSE);
            if (attributes)
                glTexCoord2fv(v.tc);
            glVertex3fv(v.p);
        }
        glEnd();
    }
    glEdgeFlag(GL_TRUE);
}

unsigned CVMarkerShape::ListBase()
{
    std::uint64_t space = lumo::CurrentListSpace();
    if (!space)
        return 0;
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling)
        return 0; // lists cannot be made inside another list
    for (const Lists& l : mLists)
        if (l.space == space && glIsList(l.base) && glIsList(l.base + 1))
            return l.base;
    GLuint base = glGenLists(2);
    if (!base)
        return 0;
    glNewList(base, GL_COMPILE);
    DrawWalls(true);
    glEndList();
    glNewList(base + 1, GL_COMPILE);
    DrawCaps(true);
    glEndList();
    // A share group that is gone leaves a record behind; the oldest goes
    // (its lists died with their contexts or stay with a live one).
    mLists.erase(std::remove_if(mLists.begin(), mLists.end(), [space](const Lists& l) { return l.space == space; }),
                 mLists.end());
    if (mLists.size() >= kMaxListSpaces)
        mLists.erase(mLists.begin());
    mLists.push_back({space, base});
    return base;
}

void CVMarkerShape::CallWalls()
{
    if (unsigned base = ListBase())
        glCallList(base);
    else
        DrawWalls(true);
}

void CVMarkerShape::CallCaps()
{
    if (unsigned base = ListBase())
        glCallList(base + 1);
    else
        DrawCaps(true);
}
