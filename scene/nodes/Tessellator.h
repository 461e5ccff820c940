// Planar outlines, concave or touching themselves, split into triangles,
// fans and strips by the GLU tessellator (odd winding rule).
#pragma once

#include "scene/model/Structs.h"

#include <cstddef>
#include <vector>

namespace lumo {

struct TessPrimitive {
    unsigned type = 0; // GL_TRIANGLES, GL_TRIANGLE_FAN or GL_TRIANGLE_STRIP
    std::vector<Point3fStruct> vertices;
    // With boundary edges asked for: per vertex, whether the edge that
    // starts there lies on the outline (for glEdgeFlag); else empty.
    std::vector<unsigned char> boundary;
};

// The tessellator adds a vertex and a sweep event where edges cross, and
// outlines that cross themselves thousands of times take it minutes and
// gigabytes: outlines of more than kMaxTessPoints points, or whose edges
// cross more than kMaxTessCrossings times, are not tessellated.
constexpr std::size_t kMaxTessPoints = 16384;
constexpr std::size_t kMaxTessCrossings = 4096;
// Whether the contours (each closed) are past those bounds. Edges are
// compared in the plane the contours mostly lie in; touching and
// overlapping edges do not count as crossings.
bool TooTangledToTessellate(const std::vector<std::vector<Point3fStruct>>& contours);

// The primitives that fill the closed outline; empty when it encloses
// nothing, is too tangled (above) or the tessellator reports an error. 'normal' (may be null: the
// tessellator finds the plane) fixes the side the result faces. With
// boundaryEdges the result holds only GL_TRIANGLES primitives whose edge
// flags mark the outline's own edges, so that line mode draws the outline
// and not the cuts between triangles.
std::vector<TessPrimitive> Tessellate(const std::vector<Point3fStruct>& outline, const Point3fStruct* normal,
                                      bool boundaryEdges);

} // namespace lumo
