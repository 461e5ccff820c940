// Draws the faces of a face set with OpenGL: convex faces directly, other
// faces through the GLU tessellator, with colours, normals and texture
// coordinates bound per face or per vertex. The face set decides what to
// draw and whether into a display list; this does the drawing.
//
// Every index is checked against the list it points into: a vertex whose
// coordinate index is out of range (or negative other than -1), or whose
// point is no finite number, is left out of its face; a face left with
// fewer than three points is not drawn. A colour or texture coordinate whose
// index is out of range is not sent (the vertex keeps the one before it); a
// normal whose index is out of range is replaced by the face's own normal.
#pragma once

#include "scene/model/Structs.h"

#include <vector>

namespace lumo::faces {

// The lists a face set is drawn from; a property list is null when the set
// has no node for it.
struct FaceSetData {
    const Point3fStruct* points = nullptr;
    int numPoints = 0;
    const int* coordIndex = nullptr;
    int numCoordIndex = 0;
    const Point3fStruct* normals = nullptr;
    int numNormals = 0;
    const int* normalIndex = nullptr;
    int numNormalIndex = 0;
    const RGBAColorStruct* colors = nullptr;
    int numColors = 0;
    const int* colorIndex = nullptr;
    int numColorIndex = 0;
    const Point2fStruct* texCoords = nullptr;
    int numTexCoords = 0;
    const int* texCoordIndex = nullptr;
    int numTexCoordIndex = 0;
    bool ccw = true;
};

// What is sent with each vertex (the face set's build flags).
enum Bindings : int {
    PER_VERTEX_NORMALS = 1,
    PER_VERTEX_COLORS = 2,
    TEXTURE_COORDINATES = 4,
    PER_FACE_NORMALS = 8,
    PER_FACE_COLORS = 16,
};

class FacePainter {
public:
    FacePainter(const FaceSetData& data, int bindings) : mData(data), mBindings(bindings) {}

    // Convex faces. For drawing, all faces go into one run of triangles
    // (fans cut into triangles, inner edges flagged as such); without normal
    // bindings each face gets its own normal, or the per-corner normals
    // given (one per coordIndex position). For picking, each face is one
    // polygon under its face number as selection name, positions only.
    void DrawConvex(const std::vector<Point3fStruct>* cornerNormals) const;
    void PickConvex() const;
    // Faces of any shape, through the tessellator (odd winding rule). With
    // contours, all faces are contours of one polygon, so that later faces
    // cut holes into earlier ones. Picking loads each face's number as its
    // name (0 for the one polygon of contours) and sends positions only.
    void DrawTessellated(bool contours) const;
    void PickTessellated(bool contours) const;

    // The unit normal of a face through the given points, following ccw;
    // (0, 0, 1) for a face with no area (collinear or coincident points,
    // or points that are no finite numbers).
    static Point3fStruct FaceNormal(const std::vector<Point3fStruct>& points, bool ccw);

private:
    // The usable positions of the face [start, end) of coordIndex.
    void Gather(int start, int end, std::vector<int>& positions) const;
    const RGBAColorStruct* VertexColor(int position, int k) const;
    const RGBAColorStruct* FaceColor(int face) const;
    const Point3fStruct* VertexNormal(int position, int k) const;
    const Point3fStruct* FaceNormalOf(int face) const;
    const Point2fStruct* VertexTexCoord(int position, int k) const;
    void Tessellate(bool contours, bool pick) const;

    const FaceSetData& mData;
    int mBindings;
};

// Texture coordinates made up for a face without a texture-coordinate
// list: over the face's extent, s runs along x and t along y, each along z
// instead when its own axis has the smallest extent.
class FaceTexture {
public:
    FaceTexture() = default;
    explicit FaceTexture(const std::vector<Point3fStruct>& points);
    Point2fStruct At(const Point3fStruct& p) const;

private:
    float mMin[3] = {0, 0, 0};
    float mExtent[3] = {1, 1, 1};
    bool mSFromZ = false, mTFromZ = false;
};

} // namespace lumo::faces
