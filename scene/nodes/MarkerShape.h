// The solid of one marker symbol: its unit outline (inside the square
// -0.5..0.5) extruded over -0.5..0.5, as side walls (one quad per outline
// edge, normal facing out) and two caps tessellated from the outline, with
// texture coordinates that map the unit square onto each face. One per
// marker class, shared by all its nodes; its display lists are made once
// per context share group.
#pragma once

#include "scene/model/Structs.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CVMarkerShape {
public:
    // XZ: the outline lies in the (x, z) plane and is extruded along y;
    // XY: in the (x, y) plane, extruded along z.
    enum Plane { PLANE_XZ, PLANE_XY };

    // The outline's points in order, without repeating the first at the end.
    CVMarkerShape(Plane plane, std::vector<Point2fStruct> outline);
    CVMarkerShape(const CVMarkerShape&) = delete;
    CVMarkerShape& operator=(const CVMarkerShape&) = delete;

    Plane GetPlane() const { return mPlane; }
    const std::vector<Point2fStruct>& GetOutline() const { return mOutline; }
    int GetWallCount() const { return int(mWalls.size() / 4); }
    int GetCapTriangleCount() const { return int(mCaps[0].size() / 3); }

    // Draws directly; without attributes (selection mode) no normals and no
    // texture coordinates.
    void DrawWalls(bool attributes) const;
    void DrawCaps(bool attributes) const;
    // The same through the current context's display lists, compiled at
    // first use; drawn directly without a context or while a list is being
    // compiled.
    void CallWalls();
    void CallCaps();

private:
    struct Vertex {
        float p[3];
        float tc[2];
        unsigned char boundary; // edge flag of the edge starting here
    };
    // The display lists (walls, caps) of one share group.
    struct Lists {
        std::uint64_t space = 0;
        unsigned base = 0;
    };
    static constexpr size_t kMaxListSpaces = 16;

    void BuildWalls();
    void BuildCaps();
    // Emits the polygon's vertices in an order whose winding faces 'normal'.
    static void Orient(std::vector<Vertex>& face, const float normal[3]);
    unsigned ListBase();

    Plane mPlane;
    std::vector<Point2fStruct> mOutline;
    std::vector<Vertex> mWalls;        // four per wall
    std::vector<float> mWallNormals;   // three per wall
    std::vector<Vertex> mCaps[2];      // three per triangle: bottom, top
    std::vector<Lists> mLists;
};
