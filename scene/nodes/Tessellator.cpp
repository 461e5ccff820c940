#include "scene/nodes/Tessellator.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <memory>

namespace lumo {

namespace {

// What the callbacks fill. They run inside C code: nothing may be thrown
// through it, so a failure is recorded and the result dropped.
struct TessContext {
    std::vector<TessPrimitive> primitives;
    std::deque<std::array<double, 3>> added; // vertices made where edges cross
    unsigned char boundary = 1;
    bool withEdges = false;
    bool failed = false;
};

void GLAPIENTRY OnBegin(GLenum type, void* data)
{
    auto* c = static_cast<TessContext*>(data);
    try {
        c->primitives.emplace_back();
        c->primitives.back().type = type;
    } catch (...) {
        c->failed = true;
    }
}

void GLAPIENTRY OnVertex(void* vertex, void* data)
{
    auto* c = static_cast<TessContext*>(data);
    if (c->failed || c->primitives.empty())
        return;
    const double* v = static_cast<const double*>(vertex);
    try {
        TessPrimitive& p = c->primitives.back();
        p.vertices.push_back({float(v[0]), float(v[1]), float(v[2])});
        if (c->withEdges)
            p.boundary.push_back(c->boundary);
    } catch (...) {
        c->failed = true;
    }
}

void GLAPIENTRY OnCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data)
{
    auto* c = static_cast<TessContext*>(data);
    try {
        c->added.push_back({coords[0], coords[1], coords[2]});
        *out = c->added.back().data();
    } catch (...) {
        c->failed = true;
        *out = nullptr;
    }
}

void GLAPIENTRY OnEdgeFlag(GLboolean flag, void* data) { static_cast<TessContext*>(data)->boundary = flag ? 1 : 0; }

void GLAPIENTRY OnEnd(void*) {}

void GLAPIENTRY OnError(GLenum, void* data) { static_cast<TessContext*>(data)->failed = true; }

struct TessDeleter {
    void operator()(GLUtesselator* t) const { gluDeleteTess(t); }
};

// Twice the signed area of (a, b, c) in the plane.
double Orient(const double a[2], const double b[2], const double c[2])
{
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

bool ProperlyCross(const double a[2], const double b[2], const double c[2], const double d[2])
{
    const double o1 = Orient(a, b, c), o2 = Orient(a, b, d), o3 = Orient(c, d, a), o4 = Orient(c, d, b);
    return ((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0));
}

} // namespace

bool TooTangledToTessellate(const std::vector<std::vector<Point3fStruct>>& contours)
{
    std::size_t points = 0;
    for (const auto& c : contours)
        points += c.size();
    if (points > kMaxTessPoints)
        return true;
    // The plane: drop the axis the summed (Newell) normal points along most.
    double n[3] = {0, 0, 0};
    for (const auto& c : contours)
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Point3fStruct& p = c[i];
            const Point3fStruct& q = c[(i + 1) % c.size()];
            n[0] += (double(p.y) - q.y) * (double(p.z) + q.z);
            n[1] += (double(p.z) - q.z) * (double(p.x) + q.x);
            n[2] += (double(p.x) - q.x) * (double(p.y) + q.y);
        }
    const int drop = std::fabs(n[0]) >= std::fabs(n[1]) && std::fabs(n[0]) >= std::fabs(n[2]) ? 0
                     : std::fabs(n[1]) >= std::fabs(n[2])                                     ? 1
                                                                                              : 2;
    const int u = drop == 0 ? 1 : 0, v = drop == 2 ? 1 : 2;
    struct Edge {
        double a[2], b[2];
        double minX, maxX;
        std::size_t contour, index, count;
    };
    std::vector<Edge> edges;
    edges.reserve(points);
    for (std::size_t k = 0; k < contours.size(); ++k) {
        const auto& c = contours[k];
        for (std::size_t i = 0; i < c.size(); ++i) {
            const float* p = &c[i].x;
            const float* q = &c[(i + 1) % c.size()].x;
            Edge e{{p[u], p[v]}, {q[u], q[v]}, 0, 0, k, i, c.size()};
            if (!std::isfinite(e.a[0]) || !std::isfinite(e.a[1]) || !std::isfinite(e.b[0]) || !std::isfinite(e.b[1]))
                return true; // no plane to sweep
            e.minX = std::min(e.a[0], e.b[0]);
            e.maxX = std::max(e.a[0], e.b[0]);
            edges.push_back(e);
        }
    }
    // Sweep along the first axis: only edges whose spans overlap there are
    // compared, which keeps ordinary outlines near linear.
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.minX < r.minX; });
    std::size_t crossings = 0;
    for (std::size_t i = 0; i < edges.size(); ++i)
        for (std::size_t j = i + 1; j < edges.size() && edges[j].minX <= edges[i].maxX; ++j) {
            const Edge& e = edges[i];
            const Edge& f = edges[j];
            if (e.contour == f.contour &&
                (e.index == (f.index + 1) % f.count || f.index == (e.index + 1) % e.count))
                continue; // neighbours share a point
            if (ProperlyCross(e.a, e.b, f.a, f.b) && ++crossings > kMaxTessCrossings)
                return true;
        }
    return false;
}

std::vector<TessPrimitive> Tessellate(const std::vector<Point3fStruct>& outline, const Point3fStruct* normal,
                                      bool boundaryEdges)
{
    if (outline.size() < 3 || TooTangledToTessellate({outline}))
        return {};
    std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
    if (!tess)
        return {};
    TessContext context;
    context.withEdges = boundaryEdges;
    // The tessellator keeps pointers to the coordinates until the polygon ends.
    std::vector<std::array<double, 3>> coords(outline.size());
    for (size_t i = 0; i < outline.size(); ++i)
        coords[i] = {outline[i].x, outline[i].y, outline[i].z};

    GLUtesselator* t = tess.get();
    gluTessCallback(t, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&OnBegin));
    gluTessCallback(t, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&OnVertex));
    gluTessCallback(t, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&OnCombine));
    gluTessCallback(t, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(&OnEnd));
    gluTessCallback(t, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&OnError));
    // Asking for edge flags makes the tessellator give separate triangles.
    if (boundaryEdges)
        gluTessCallback(t, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&OnEdgeFlag));
    gluTessProperty(t, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    if (normal)
        gluTessNormal(t, normal->x, normal->y, normal->z);
    gluTessBeginPolygon(t, &context);
    gluTessBeginContour(t);
    for (auto& c : coords)
        gluTessVertex(t, c.data(), c.data());
    gluTessEndContour(t);
    gluTessEndPolygon(t);
    if (context.failed)
        return {};
    return std::move(context.primitives);
}

} // namespace lumo
