// The points of an elevation grid as it is drawn: where each grid point
// lies, its height, whether it is missing, its texture coordinate, and the
// normals of cells and grid points. Built from the grid's resolved inputs
// (dimensions checked by the grid, heights already followed to their
// source); the node draws and measures through it.
#pragma once

#include "scene/model/Structs.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo::grid {

// The height that marks a grid point as missing (the largest float).
constexpr float kMissingValue = 3.4028235e38f;

struct GridInput {
    int xDim = 0, zDim = 0;
    // xDim * zDim heights, row by row (x fastest); null for a flat grid
    // drawn without heights.
    const float* heights = nullptr;
    // Column and row positions; used when they hold xDim (zDim) values.
    const std::vector<double>* xList = nullptr;
    const std::vector<double>* zList = nullptr;
    float xSpacing = 0, zSpacing = 0;
    bool flat = false;
    float flatHeight = 0;
    bool skipMissing = false;
    bool ccw = true;
};

class GridGeometry {
public:
    explicit GridGeometry(const GridInput& input);

    int XDim() const { return mX; }
    int ZDim() const { return mZ; }
    float X(int i) const { return mXs[std::size_t(i)]; }
    float Z(int j) const { return mZs[std::size_t(j)]; }
    float S(int i) const { return mSs[std::size_t(i)]; }
    float T(int j) const { return mTs[std::size_t(j)]; }
    std::int64_t PointNumber(int i, int j) const { return std::int64_t(j) * mX + i; }
    // The height that colours point (i, j): its own, or the flat height
    // when the grid has none.
    float Height(int i, int j) const { return mHeights ? mHeights[PointNumber(i, j)] : mFlatHeight; }
    // The y at which it is drawn.
    float Y(int i, int j) const { return mFlat ? mFlatHeight : Height(i, j); }
    // Not drawn: a height that is no number, or the missing value where
    // missing points are skipped.
    bool Missing(int i, int j) const;
    // How many corners of cell (i, j) are missing; 'which' gets the last.
    int MissingCorners(int i, int j, int& which) const;
    // Corner k (0 .. 3) of cell (i, j): (i, j), (i, j + 1), (i + 1, j + 1),
    // (i + 1, j), counter-clockwise seen from above.
    static void Corner(int i, int j, int k, int& ci, int& cj)
    {
        ci = i + (k >= 2 ? 1 : 0);
        cj = j + (k == 1 || k == 2 ? 1 : 0);
    }
    Point3fStruct Position(int i, int j) const { return {X(i), Y(i, j), Z(j)}; }
    bool IsFlat() const { return mFlat; }
    bool HasHeights() const { return mHeights != nullptr; }
    bool Ccw() const { return mCcw; }

    // The unit normal of cell (i, j) (of the triangle of its three corners
    // when one is missing), facing up for ccw, down otherwise; straight up
    // (down) for a cell without area or with no usable corners.
    Point3fStruct FaceNormal(int i, int j) const;
    // Every cell's, row by row.
    std::vector<Point3fStruct> FaceNormals() const;
    // Per grid point, the normalised sum of the normals of the cells round
    // it that are drawn (with at most one missing corner, the point not
    // being it); straight up (down) when there is none.
    std::vector<Point3fStruct> VertexNormals(const std::vector<Point3fStruct>& faceNormals) const;
    Point3fStruct Up() const { return {0.0f, mCcw ? 1.0f : -1.0f, 0.0f}; }

private:
    int mX, mZ;
    const float* mHeights;
    bool mFlat;
    float mFlatHeight;
    bool mSkipMissing;
    bool mCcw;
    std::vector<float> mXs, mZs, mSs, mTs;
};

} // namespace lumo::grid
