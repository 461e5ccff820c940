#include "scene/nodes/GridContours.h"

#include "scene/nodes/GridBands.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace lumo::grid {

namespace {

struct Key {
    std::uint32_t v[3];
    bool operator==(const Key& o) const { return v[0] == o.v[0] && v[1] == o.v[1] && v[2] == o.v[2]; }
};

struct KeyHash {
    size_t operator()(const Key& k) const
    {
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint32_t x : k.v)
            h = (h ^ x) * 1099511628211ull;
        return size_t(h);
    }
};

// Segments of one level, joined into polylines by their shared points
// (crossing points are bit-identical where cells meet).
class Joiner {
public:
    void Add(const GridPoint& a, const GridPoint& b)
    {
        const int p = PointOf(a), q = PointOf(b);
        if (p == q)
            return; // no length
        const int s = int(mEnds.size());
        mEnds.push_back({p, q});
        mAt[size_t(p)].push_back(s);
        mAt[size_t(q)].push_back(s);
    }

    ContourLines Finish()
    {
        ContourLines out;
        out.points = std::move(mPoints);
        std::vector<bool> used(mEnds.size(), false);
        // Open lines from their ends first, then what is left: closed loops.
        for (int pass = 0; pass < 2; ++pass)
            for (size_t p = 0; p < mAt.size(); ++p) {
                if (pass == 0 && mAt[p].size() == 2)
                    continue;
                while (true) {
                    int seg = Unused(int(p), used);
                    if (seg < 0)
                        break;
                    int at = int(p);
                    out.coordIndex.push_back(at);
                    while (seg >= 0) {
                        used[size_t(seg)] = true;
                        at = mEnds[size_t(seg)].first == at ? mEnds[size_t(seg)].second : mEnds[size_t(seg)].first;
                        out.coordIndex.push_back(at);
                        seg = Unused(at, used);
                    }
                    out.coordIndex.push_back(-1);
                }
            }
        return out;
    }

private:
    int PointOf(const GridPoint& g)
    {
        Key k;
        const float xyz[3] = {g.x, g.y, g.z};
        std::memcpy(k.v, xyz, sizeof xyz);
        auto [it, added] = mIndex.emplace(k, int(mPoints.size()));
        if (added) {
            mPoints.push_back({g.x, g.y, g.z});
            mAt.emplace_back();
        }
        return it->second;
    }

    int Unused(int point, const std::vector<bool>& used) const
    {
        for (int s : mAt[size_t(point)])
            if (!used[size_t(s)])
                return s;
        return -1;
    }

    std::unordered_map<Key, int, KeyHash> mIndex;
    std::vector<Point3fStruct> mPoints;
    std::vector<std::vector<int>> mAt; // segments at each point
    std::vector<std::pair<int, int>> mEnds;
};

} // namespace

std::vector<ContourLines> MakeContourLines(const GridGeometry& grid, const Levels& levels)
{
    const int count = levels.Count();
    std::vector<Joiner> joiners(static_cast<size_t>(count));
    const int xD = grid.XDim(), zD = grid.ZDim();
    auto triangle = [&](const GridPoint& a, const GridPoint& b, const GridPoint& c) {
        const int ba = levels.Band(a.h), bb = levels.Band(b.h), bc = levels.Band(c.h);
        // The levels that cross it: those with a corner at or above and a
        // corner below.
        const int low = std::min({ba, bb, bc}), high = std::max({ba, bb, bc});
        for (int k = low; k < high && k < count; ++k) {
            GridPoint from, to;
            if (ContourSegment(a, b, c, levels, k, from, to))
                joiners[size_t(k)].Add(from, to);
        }
    };
    for (int j = 0; j + 1 < zD; ++j)
        for (int i = 0; i + 1 < xD; ++i) {
            int which;
            const int missing = grid.MissingCorners(i, j, which);
            if (missing > 1)
                continue;
            GridPoint c[4];
            int band[4];
            for (int k = 0; k < 4; ++k) {
                int ci, cj;
                GridGeometry::Corner(i, j, k, ci, cj);
                c[k].x = grid.X(ci);
                c[k].y = grid.Y(ci, cj);
                c[k].z = grid.Z(cj);
                c[k].h = grid.Height(ci, cj);
                c[k].id = grid.PointNumber(ci, cj);
                band[k] = levels.Band(c[k].h);
            }
            if (missing == 1) {
                triangle(c[(which + 1) % 4], c[(which + 2) % 4], c[(which + 3) % 4]);
                continue;
            }
            if (band[0] == band[1] && band[1] == band[2] && band[2] == band[3])
                continue; // no level crosses it
            GridPoint t[4][3];
            CellTriangles(c, t);
            for (auto& tri : t)
                triangle(tri[0], tri[1], tri[2]);
        }
    std::vector<ContourLines> lines;
    lines.reserve(size_t(count));
    for (Joiner& j : joiners)
        lines.push_back(j.Finish());
    return lines;
}

} // namespace lumo::grid
