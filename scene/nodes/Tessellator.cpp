#include "scene/nodes/Tessellator.h"

#include <GL/glu.h>

#include <array>
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

} // namespace

std::vector<TessPrimitive> Tessellate(const std::vector<Point3fStruct>& outline, const Point3fStruct* normal,
                                      bool boundaryEdges)
{
    if (outline.size() < 3)
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
