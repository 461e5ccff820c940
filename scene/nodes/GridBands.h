// The geometry of colour bands and contour lines inside one grid cell.
//
// A cell that a level crosses is cut into four triangles round its centre
// (whose height is the mean of the corners'), and each triangle is taken as
// a plane: a band is then the convex part of each triangle between two
// levels, and a contour line the straight segment where a triangle meets a
// level. That resolves saddle cells without ambiguity, and bands and lines
// agree exactly. The point where a level crosses an edge is always
// computed from the edge's two ends in the same order (the lower point
// number first), so that two cells sharing an edge cut it at bit-identical
// points: neighbouring cells meet without cracks.
#pragma once

#include "scene/nodes/GridLevels.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace lumo::grid {

// A point of the surface with everything drawn with it; also the vertex
// record that the surface hands to OpenGL (see GridSurface).
struct GridPoint {
    float x = 0, y = 0, z = 0;    // position
    float nx = 0, ny = 1, nz = 0; // normal
    float r = 1, g = 1, b = 1, a = 1;
    float s = 0, t = 0;           // texture coordinate
    float h = 0;                  // the height that chooses the band
    std::int64_t id = kNoId;      // grid point number, kCentre, or kNoId

    static constexpr std::int64_t kNoId = -1;
    static constexpr std::int64_t kCentre = std::numeric_limits<std::int64_t>::max();
};

// The point where the level height L crosses the edge between a and b
// (whose heights lie on either side of it), interpolated from the end with
// the lower id. Its height is L; so is its y where both ends are at their
// own height (a surface, not a flat grid).
GridPoint Crossing(const GridPoint& a, const GridPoint& b, float level);

// The centre of a cell from its four corners: the mean of each value.
GridPoint Centre(const GridPoint corners[4]);

// The band polygons of one triangle (a, b, c counter-clockwise as the
// surface faces), for the bands from 0 up to (not including) bandLimit: each
// polygon convex, in the triangle's winding, with the colour of its band.
struct BandPolygons {
    struct Polygon {
        int band;
        int first, count; // in points
    };
    std::vector<GridPoint> points;
    std::vector<Polygon> polygons;
    void Clear()
    {
        points.clear();
        polygons.clear();
    }
};
void ClipTriangle(const GridPoint& a, const GridPoint& b, const GridPoint& c, const Levels& levels, int bandLimit,
                  BandPolygons& out);

// The four triangles of a cell round its centre, counter-clockwise like the
// cell's corners (corner k, corner k + 1, centre).
void CellTriangles(const GridPoint corners[4], GridPoint triangles[4][3]);

// Where the level with index 'level' meets the triangle: false when it
// does not cross it (all three corners on one side: at or above it, or below).
bool ContourSegment(const GridPoint& a, const GridPoint& b, const GridPoint& c, const Levels& levels, int level,
                    GridPoint& from, GridPoint& to);

} // namespace lumo::grid
