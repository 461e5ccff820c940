#include "scene/nodes/CreaseNormals.h"

#include "scene/nodes/IndexedSet.h"

#include <cmath>

namespace lumo::faces {

namespace {

bool Usable(const FaceSetData& d, int k)
{
    if (k < 0 || k >= d.numPoints)
        return false;
    const Point3fStruct& p = d.points[k];
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

} // namespace

std::vector<Point3fStruct> CreaseNormals(const FaceSetData& d, float creaseAngle)
{
    const int n = d.numCoordIndex;
    std::vector<Point3fStruct> corners(size_t(n), Point3fStruct{0, 0, 1});
    // Each usable position's face, and each drawn face's normal.
    std::vector<int> faceAt(size_t(n), -1);
    std::vector<Point3fStruct> faceNormals;
    std::vector<Point3fStruct> points;
    CVIndexedParts parts(d.coordIndex, n);
    int f, start, end;
    while (parts.Next(f, start, end)) {
        points.clear();
        for (int i = start; i < end; ++i)
            if (Usable(d, d.coordIndex[i]))
                points.push_back(d.points[d.coordIndex[i]]);
        if (points.size() < 3)
            continue;
        const int drawn = int(faceNormals.size());
        faceNormals.push_back(FacePainter::FaceNormal(points, d.ccw));
        for (int i = start; i < end; ++i)
            if (Usable(d, d.coordIndex[i]))
                faceAt[size_t(i)] = drawn;
    }
    // The faces around each point, as one list cut by point (offsets).
    std::vector<int> offsets(size_t(d.numPoints) + 1, 0);
    for (int i = 0; i < n; ++i)
        if (faceAt[size_t(i)] >= 0)
            ++offsets[size_t(d.coordIndex[i]) + 1];
    for (size_t k = 1; k < offsets.size(); ++k)
        offsets[k] += offsets[k - 1];
    std::vector<int> around(size_t(offsets.back()));
    {
        std::vector<int> fill(offsets.begin(), offsets.end() - 1);
        for (int i = 0; i < n; ++i)
            if (faceAt[size_t(i)] >= 0)
                around[size_t(fill[size_t(d.coordIndex[i])]++)] = faceAt[size_t(i)];
    }
    // Faces whose normals are within the angle (a little slack for the
    // rounding of coplanar faces).
    const double limit = std::cos(std::fmin(double(creaseAngle), 3.14159265358979323846)) - 1e-6;
    for (int i = 0; i < n; ++i) {
        const int own = faceAt[size_t(i)];
        if (own < 0)
            continue;
        const Point3fStruct& a = faceNormals[size_t(own)];
        const int k = d.coordIndex[i];
        double sx = 0, sy = 0, sz = 0;
        for (int j = offsets[size_t(k)]; j < offsets[size_t(k) + 1]; ++j) {
            const Point3fStruct& b = faceNormals[size_t(around[size_t(j)])];
            if (double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z >= limit) {
                sx += b.x;
                sy += b.y;
                sz += b.z;
            }
        }
        const double len = std::sqrt(sx * sx + sy * sy + sz * sz);
        corners[size_t(i)] = len > 1e-12 ? Point3fStruct{float(sx / len), float(sy / len), float(sz / len)} : a;
    }
    return corners;
}

} // namespace lumo::faces
