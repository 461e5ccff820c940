#include "scene/nodes/GridGeometry.h"

#include <cmath>

namespace lumo::grid {

namespace {

// Positions along one axis (from the list when it has a value per line,
// else multiples of the spacing) and the texture coordinate running from 0
// to 1 across them: steps of 1 / (n - 1), or with a list the distance over
// (n - 1) spacings, or over the list's extent when the spacing is 0.
void Axis(int n, const std::vector<double>* list, float spacing, std::vector<float>& pos, std::vector<float>& tex)
{
    if (!std::isfinite(spacing))
        spacing = 0.0f;
    const bool useList = list && int(list->size()) == n;
    pos.resize(size_t(n));
    tex.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        pos[size_t(i)] = useList ? float((*list)[size_t(i)]) : float(i) * spacing;
    double extent = 0.0;
    if (useList && n > 1)
        extent = spacing != 0.0f ? double(n - 1) * double(spacing) : (*list)[size_t(n - 1)] - (*list)[0];
    const bool byDistance = useList && extent != 0.0 && std::isfinite(extent);
    for (int i = 0; i < n; ++i)
        tex[size_t(i)] = byDistance ? float(((*list)[size_t(i)] - (*list)[0]) / extent)
                                    : (n > 1 ? float(i) / float(n - 1) : 0.0f);
}

struct Vec {
    double x, y, z;
};

Vec Sub(const Point3fStruct& a, const Point3fStruct& b) { return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z}; }
Vec Cross(const Vec& a, const Vec& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The unit vector along v, or 'fallback' when v has no direction (zero, or
// no number).
Point3fStruct Unit(const Vec& v, const Point3fStruct& fallback)
{
    const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(len > 0.0) || !std::isfinite(len))
        return fallback;
    Point3fStruct u{float(v.x / len), float(v.y / len), float(v.z / len)};
    if (!std::isfinite(u.x) || !std::isfinite(u.y) || !std::isfinite(u.z))
        return fallback;
    return u;
}

} // namespace

GridGeometry::GridGeometry(const GridInput& in)
    : mX(in.xDim), mZ(in.zDim), mHeights(in.heights), mFlat(in.flat),
      mFlatHeight(std::isfinite(in.flatHeight) ? in.flatHeight : 0.0f), mSkipMissing(in.skipMissing), mCcw(in.ccw)
{
    Axis(mX, in.xList, in.xSpacing, mXs, mSs);
    Axis(mZ, in.zList, in.zSpacing, mZs, mTs);
    for (float& t : mTs)
        t = 1.0f - t;
}

bool GridGeometry::Missing(int i, int j) const
{
    if (!mHeights)
        return false;
    const float h = mHeights[PointNumber(i, j)];
    return !std::isfinite(h) || (mSkipMissing && h == kMissingValue);
}

int GridGeometry::MissingCorners(int i, int j, int& which) const
{
    int n = 0;
    which = -1;
    for (int k = 0; k < 4; ++k) {
        int ci, cj;
        Corner(i, j, k, ci, cj);
        if (Missing(ci, cj)) {
            ++n;
            which = k;
        }
    }
    return n;
}

Point3fStruct GridGeometry::FaceNormal(int i, int j) const
{
    const Point3fStruct up = Up();
    if (mFlat)
        return up;
    int which;
    const int missing = MissingCorners(i, j, which);
    Point3fStruct c[4];
    for (int k = 0; k < 4; ++k) {
        int ci, cj;
        Corner(i, j, k, ci, cj);
        c[k] = Position(ci, cj);
    }
    Vec n;
    if (missing == 0) {
        n = Cross(Sub(c[2], c[0]), Sub(c[3], c[1]));
    } else if (missing == 1) {
        const Point3fStruct& p0 = c[(which + 1) % 4];
        const Point3fStruct& p1 = c[(which + 2) % 4];
        const Point3fStruct& p2 = c[(which + 3) % 4];
        n = Cross(Sub(p1, p0), Sub(p2, p1));
    } else {
        return up;
    }
    if (!mCcw)
        n = {-n.x, -n.y, -n.z};
    return Unit(n, up);
}

std::vector<Point3fStruct> GridGeometry::FaceNormals() const
{
    std::vector<Point3fStruct> normals;
    if (mX < 2 || mZ < 2)
        return normals;
    normals.reserve(size_t(mX - 1) * size_t(mZ - 1));
    for (int j = 0; j + 1 < mZ; ++j)
        for (int i = 0; i + 1 < mX; ++i)
            normals.push_back(FaceNormal(i, j));
    return normals;
}

std::vector<Point3fStruct> GridGeometry::VertexNormals(const std::vector<Point3fStruct>& faces) const
{
    std::vector<Point3fStruct> normals(size_t(mX) * size_t(mZ), Up());
    if (mX < 2 || mZ < 2 || faces.size() != size_t(mX - 1) * size_t(mZ - 1))
        return normals;
    // Whether each cell is drawn, so that a point averages only those.
    std::vector<unsigned char> drawn(faces.size());
    for (int j = 0; j + 1 < mZ; ++j)
        for (int i = 0; i + 1 < mX; ++i) {
            int which;
            drawn[size_t(j) * size_t(mX - 1) + size_t(i)] = MissingCorners(i, j, which) <= 1;
        }
    const Point3fStruct up = Up();
    for (int j = 0; j < mZ; ++j)
        for (int i = 0; i < mX; ++i) {
            if (Missing(i, j))
                continue;
            Vec sum{0, 0, 0};
            for (int cj = j - 1; cj <= j; ++cj)
                for (int ci = i - 1; ci <= i; ++ci) {
                    if (ci < 0 || cj < 0 || ci + 1 >= mX || cj + 1 >= mZ)
                        continue;
                    const size_t cell = size_t(cj) * size_t(mX - 1) + size_t(ci);
                    if (!drawn[cell])
                        continue;
                    sum.x += faces[cell].x;
                    sum.y += faces[cell].y;
                    sum.z += faces[cell].z;
                }
            normals[size_t(PointNumber(i, j))] = Unit(sum, up);
        }
    return normals;
}

} // namespace lumo::grid
