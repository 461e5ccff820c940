#include "scene/text/GlyphMesh.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

std::size_t CVGlyphMesh::Bytes() const
{
    std::size_t bytes = sizeof(*this) + triangles.capacity() * sizeof(float);
    for (const auto& c : contours)
        bytes += sizeof(c) + c.capacity() * sizeof(float);
    return bytes;
}

namespace {

#ifndef CALLBACK
#define CALLBACK
#endif

struct TessContext {
    std::vector<float>* out;
    std::deque<std::array<GLdouble, 3>> extra; // vertices the tessellator made at crossings
    bool failed = false;
};

void CALLBACK OnBegin(GLenum, void*) {}
void CALLBACK OnEnd(void*) {}
void CALLBACK OnEdgeFlag(GLboolean, void*) {} // asking for edge flags makes the tessellator emit only triangles
void CALLBACK OnVertex(void* vertex, void* data)
{
    const auto* v = static_cast<const GLdouble*>(vertex);
    auto* context = static_cast<TessContext*>(data);
    context->out->push_back(float(v[0]));
    context->out->push_back(float(v[1]));
}
void CALLBACK OnCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data)
{
    auto* context = static_cast<TessContext*>(data);
    context->extra.push_back({coords[0], coords[1], coords[2]});
    *out = context->extra.back().data();
}
void CALLBACK OnError(GLenum, void* data) { static_cast<TessContext*>(data)->failed = true; }

} // namespace

bool lumo::text::Tessellate(const CVGlyphOutline& outline, CVGlyphMesh& mesh)
{
    mesh = CVGlyphMesh();
    mesh.advance = outline.advance;
    mesh.clockwise = outline.clockwise;
    mesh.contours = outline.contours;
    bool first = true;
    for (const auto& c : outline.contours)
        for (std::size_t i = 0; i + 1 < c.size(); i += 2) {
            if (first) {
                mesh.minX = mesh.maxX = c[i];
                mesh.minY = mesh.maxY = c[i + 1];
                first = false;
            }
            mesh.minX = std::min(mesh.minX, c[i]);
            mesh.maxX = std::max(mesh.maxX, c[i]);
            mesh.minY = std::min(mesh.minY, c[i + 1]);
            mesh.maxY = std::max(mesh.maxY, c[i + 1]);
        }
    if (outline.contours.empty())
        return true;
    GLUtesselator* tess = gluNewTess();
    if (!tess)
        return false;
    TessContext context{&mesh.triangles, {}, false};
    using Callback = void(CALLBACK*)();
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<Callback>(&OnBegin));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<Callback>(&OnEnd));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<Callback>(&OnEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(&OnVertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(&OnCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(&OnError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, outline.evenOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);
    // The tessellator keeps pointers to the vertices until the polygon ends.
    std::vector<std::vector<std::array<GLdouble, 3>>> points;
    points.reserve(outline.contours.size());
    for (const auto& c : outline.contours) {
        points.emplace_back();
        for (std::size_t i = 0; i + 1 < c.size(); i += 2)
            points.back().push_back({double(c[i]), double(c[i + 1]), 0.0});
    }
    gluTessBeginPolygon(tess, &context);
    for (auto& contour : points) {
        gluTessBeginContour(tess);
        for (auto& p : contour)
            gluTessVertex(tess, p.data(), p.data());
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (context.failed) {
        mesh.triangles.clear();
        return false;
    }
    mesh.triangles.resize(mesh.triangles.size() / 6 * 6);
    // Front faces counter-clockwise seen from +z, whatever order the
    // tessellator chose: culling then keeps the front of the text.
    auto& t = mesh.triangles;
    for (std::size_t i = 0; i + 5 < t.size(); i += 6) {
        float area = (t[i + 2] - t[i]) * (t[i + 5] - t[i + 1]) - (t[i + 4] - t[i]) * (t[i + 3] - t[i + 1]);
        if (area < 0) {
            std::swap(t[i + 2], t[i + 4]);
            std::swap(t[i + 3], t[i + 5]);
        }
    }
    return true;
}

void lumo::text::DrawGlyphMesh(const CVGlyphMesh& mesh, float depth, bool polygons)
{
    const bool solid = depth > 0.0f;
    const float back = -depth;
    if (!polygons) {
        for (const auto& c : mesh.contours) {
            glBegin(GL_LINE_LOOP);
            for (std::size_t i = 0; i + 1 < c.size(); i += 2)
                glVertex3f(c[i], c[i + 1], 0.0f);
            glEnd();
            if (!solid)
                continue;
            glBegin(GL_LINE_LOOP);
            for (std::size_t i = 0; i + 1 < c.size(); i += 2)
                glVertex3f(c[i], c[i + 1], back);
            glEnd();
            glBegin(GL_LINES);
            for (std::size_t i = 0; i + 1 < c.size(); i += 2) {
                glVertex3f(c[i], c[i + 1], 0.0f);
                glVertex3f(c[i], c[i + 1], back);
            }
            glEnd();
        }
        return;
    }
    const auto& t = mesh.triangles;
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    for (std::size_t i = 0; i + 1 < t.size(); i += 2)
        glVertex3f(t[i], t[i + 1], 0.0f);
    glEnd();
    if (!solid)
        return;
    glNormal3f(0.0f, 0.0f, -1.0f);
    glBegin(GL_TRIANGLES);
    for (std::size_t i = 0; i + 5 < t.size(); i += 6) {
        glVertex3f(t[i], t[i + 1], back);
        glVertex3f(t[i + 4], t[i + 5], back);
        glVertex3f(t[i + 2], t[i + 3], back);
    }
    glEnd();
    // Sides: each edge a quad facing away from the filled side, which lies
    // right of a clockwise outer contour and left of a counter-clockwise one.
    glBegin(GL_QUADS);
    for (const auto& c : mesh.contours) {
        std::size_t n = c.size() / 2;
        for (std::size_t k = 0; k < n; ++k) {
            float x0 = c[2 * k], y0 = c[2 * k + 1];
            float x1 = c[2 * ((k + 1) % n)], y1 = c[2 * ((k + 1) % n) + 1];
            float dx = x1 - x0, dy = y1 - y0;
            float length = std::sqrt(dx * dx + dy * dy);
            if (!(length > 0.0f))
                continue;
            if (mesh.clockwise) {
                glNormal3f(-dy / length, dx / length, 0.0f);
                glVertex3f(x0, y0, 0.0f);
                glVertex3f(x1, y1, 0.0f);
                glVertex3f(x1, y1, back);
                glVertex3f(x0, y0, back);
            } else {
                glNormal3f(dy / length, -dx / length, 0.0f);
                glVertex3f(x0, y0, 0.0f);
                glVertex3f(x0, y0, back);
                glVertex3f(x1, y1, back);
                glVertex3f(x1, y1, 0.0f);
            }
        }
    }
    glEnd();
}
