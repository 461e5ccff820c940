// The sweep of an extrusion: the cross-section placed at every spine point
// in a frame that follows the spine, scaled and turned per point; then the
// side's face normals, where they are smoothed across the crease angles,
// and the texture coordinates. Plain computation, no OpenGL: the extrusion
// draws from it and takes its bounding box from it.
//
// Degenerate input has documented results, never a number that is no
// number: a spine whose points are all equal sweeps along +y; a zero
// tangent becomes +y; a frame whose x axis vanishes takes one square to the
// tangent; an orientation about a zero axis turns nothing; a side face
// without area faces along the spine; totals and extents of 0 in the
// texture coordinates count as small numbers. Input that is no number (or
// positions out of float range) sweeps nothing.
#pragma once

#include "scene/model/Box3f.h"
#include "scene/model/Rotation.h"
#include "scene/model/Structs.h"
#include "scene/model/Vector.h"

#include <vector>

namespace lumo::extrusion {

struct SweepInput {
    const Point3fStruct* spine = nullptr;
    int numSpine = 0;
    const Point2fStruct* cross = nullptr;
    int numCross = 0;
    const Point2fStruct* scale = nullptr; // empty: (1, 1)
    int numScale = 0;
    const CVRotation* orientation = nullptr; // empty: none
    int numOrientation = 0;
};

// Where cross-section point (cx, cz) lands at one spine point: origin +
// cx * xAxis + cz * zAxis (the axes carry the scale).
struct Row {
    CVVector origin, xAxis, zAxis;
    CVVector tangent; // the frame's unit y axis
};

struct Sweep {
    int ns = 0, nc = 0;
    bool closedSpine = false, closedCross = false;
    std::vector<Row> rows;                 // one per spine point
    std::vector<Point3fStruct> positions;  // ns * nc, row j at j * nc
    CVBox3f box;
    const Point3fStruct& At(int j, int k) const { return positions[size_t(j) * size_t(nc) + size_t(k)]; }
};

// Frames and positions. False (the sweep empty) for fewer than two spine or
// cross-section points or input that is no number.
bool SweepPositions(const SweepInput& in, Sweep& out);

struct ShadingInput {
    bool ccw = true;
    float creaseAngle = 0;      // across the cross-section
    float spineCreaseAngle = 0; // across the spine steps
    // The library's own texture mapping: t (or s) stretched by the ratio of
    // the spine's length to the cross-section's.
    bool stretchTexture = false;
};

struct Shading {
    // Bits of the smoothing flags: smooth across the spine, across the
    // cross-section.
    enum : unsigned char { ACROSS_SPINE = 1, ACROSS_SECTION = 2 };
    std::vector<CVVector> faceNormals;  // unit; face (k, j) at j * nc + k
    std::vector<unsigned char> smooth;  // per vertex, j * nc + k
    std::vector<Point2fStruct> sideTex; // per vertex
    std::vector<Point2fStruct> capTex;  // per cross-section point
    // The cap texture coordinate of any point (x, z) of the cross-section's
    // plane: ((x - capMinX) / capExtentX, 1 - (z - capMinZ) / capExtentZ).
    float capMinX = 0, capMinZ = 0, capExtentX = 1, capExtentZ = 1;
    Point2fStruct CapTexAt(float x, float z) const
    {
        return {(x - capMinX) / capExtentX, 1.0f - (z - capMinZ) / capExtentZ};
    }
};

void SweepShading(const SweepInput& in, const Sweep& sweep, const ShadingInput& shading, Shading& out);

// The faces round vertex (s, k) in the face-normal array: a (k - 1, s - 1),
// b (k - 1, s), c (k, s), d (k, s - 1); a row or column before the first
// is the last one of a closed spine (cross-section), else the first; one
// past the last is the first of a closed one, else the last.
void CalcNormalIndexes(const Sweep& sweep, int s, int k, int& a, int& b, int& c, int& d);
// The normal at corner 1 .. 4 of a side face from vertex (s, k)'s
// smoothing flags: both bits the mean of a, b, c, d; across the spine only,
// corners 1 and 2 (a + b) / 2 and corners 3 and 4 (c + d) / 2; across the
// cross-section only, corners 1 and 4 (a + d) / 2 and corners 2 and 3
// (b + c) / 2; neither, corner 1 a, 2 b, 3 c, 4 d. Normalised; where the
// faces cancel out, the normal of the face being drawn.
CVVector CalcAveragedNormal(const Sweep& sweep, int s, int k, const std::vector<CVVector>& normals, int flags,
                            int corner);

} // namespace lumo::extrusion
