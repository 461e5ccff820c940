#include "scene/nodes/GridBands.h"

#include <algorithm>

namespace lumo::grid {

namespace {

float Lerp(float p, float q, float t) { return p + t * (q - p); }

bool SamePlace(const GridPoint& a, const GridPoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Appends a point unless it repeats the one before (a corner lying exactly
// on a level gives the same point twice).
void Push(std::vector<GridPoint>& points, size_t first, const GridPoint& p)
{
    if (points.size() > first && SamePlace(points.back(), p))
        return;
    points.push_back(p);
}

} // namespace

GridPoint Crossing(const GridPoint& a, const GridPoint& b, float level)
{
    const bool aFirst = a.id <= b.id;
    const GridPoint& p = aFirst ? a : b;
    const GridPoint& q = aFirst ? b : a;
    float t = (level - p.h) / (q.h - p.h);
    if (!(t >= 0.0f)) // also a quotient that is no number
        t = 0.0f;
    else if (t > 1.0f)
        t = 1.0f;
    GridPoint c;
    c.x = Lerp(p.x, q.x, t);
    c.z = Lerp(p.z, q.z, t);
    c.y = (p.y == p.h && q.y == q.h) ? level : Lerp(p.y, q.y, t);
    c.nx = Lerp(p.nx, q.nx, t);
    c.ny = Lerp(p.ny, q.ny, t);
    c.nz = Lerp(p.nz, q.nz, t);
    c.r = Lerp(p.r, q.r, t);
    c.g = Lerp(p.g, q.g, t);
    c.b = Lerp(p.b, q.b, t);
    c.a = Lerp(p.a, q.a, t);
    c.s = Lerp(p.s, q.s, t);
    c.t = Lerp(p.t, q.t, t);
    c.h = level;
    c.id = GridPoint::kNoId;
    return c;
}

GridPoint Centre(const GridPoint c[4])
{
    // Quarters first: heights near the largest float must not overflow.
    auto mean = [&c](float GridPoint::*m) {
        return c[0].*m * 0.25f + c[1].*m * 0.25f + c[2].*m * 0.25f + c[3].*m * 0.25f;
    };
    GridPoint m;
    m.x = mean(&GridPoint::x);
    m.y = mean(&GridPoint::y);
    m.z = mean(&GridPoint::z);
    m.nx = mean(&GridPoint::nx);
    m.ny = mean(&GridPoint::ny);
    m.nz = mean(&GridPoint::nz);
    m.r = mean(&GridPoint::r);
    m.g = mean(&GridPoint::g);
    m.b = mean(&GridPoint::b);
    m.a = mean(&GridPoint::a);
    m.s = mean(&GridPoint::s);
    m.t = mean(&GridPoint::t);
    m.h = mean(&GridPoint::h);
    m.id = GridPoint::kCentre;
    return m;
}

void CellTriangles(const GridPoint corners[4], GridPoint triangles[4][3])
{
    const GridPoint centre = Centre(corners);
    for (int k = 0; k < 4; ++k) {
        triangles[k][0] = corners[k];
        triangles[k][1] = corners[(k + 1) % 4];
        triangles[k][2] = centre;
    }
}

void ClipTriangle(const GridPoint& a, const GridPoint& b, const GridPoint& c, const Levels& levels, int bandLimit,
                  BandPolygons& out)
{
    const GridPoint* v[3] = {&a, &b, &c};
    const int band[3] = {levels.Band(a.h), levels.Band(b.h), levels.Band(c.h)};
    const int lowest = std::min({band[0], band[1], band[2]});
    const int highest = std::min(std::max({band[0], band[1], band[2]}), bandLimit - 1);
    for (int bnd = lowest; bnd <= highest; ++bnd) {
        const size_t first = out.points.size();
        // Round the triangle: the corners inside the band, and on each edge
        // where the band's lower or upper level crosses it, those points in
        // their order along the edge.
        for (int e = 0; e < 3; ++e) {
            const GridPoint& u = *v[e];
            const GridPoint& w = *v[(e + 1) % 3];
            const int bu = band[e], bw = band[(e + 1) % 3];
            if (bu == bnd)
                Push(out.points, first, u);
            const bool low = bnd > 0 && (bu > bnd - 1) != (bw > bnd - 1);
            const bool high = bnd < levels.Count() && (bu > bnd) != (bw > bnd);
            if (bu < bw) {
                if (low)
                    Push(out.points, first, Crossing(u, w, levels.Height(bnd - 1)));
                if (high)
                    Push(out.points, first, Crossing(u, w, levels.Height(bnd)));
            } else {
                if (high)
                    Push(out.points, first, Crossing(u, w, levels.Height(bnd)));
                if (low)
                    Push(out.points, first, Crossing(u, w, levels.Height(bnd - 1)));
            }
        }
        if (out.points.size() - first > 1 && SamePlace(out.points.back(), out.points[first]))
            out.points.pop_back();
        const int count = int(out.points.size() - first);
        if (count < 3) {
            out.points.resize(first);
            continue;
        }
        out.polygons.push_back({bnd, int(first), count});
    }
}

bool ContourSegment(const GridPoint& a, const GridPoint& b, const GridPoint& c, const Levels& levels, int level,
                    GridPoint& from, GridPoint& to)
{
    const GridPoint* v[3] = {&a, &b, &c};
    bool above[3];
    for (int k = 0; k < 3; ++k)
        above[k] = levels.Band(v[k]->h) > level;
    if (above[0] == above[1] && above[1] == above[2])
        return false;
    // The corner alone on its side; the level crosses its two edges.
    const int lone = above[0] == above[1] ? 2 : above[0] == above[2] ? 1 : 0;
    const GridPoint& p = *v[lone];
    const float height = levels.Height(level);
    from = Crossing(p, *v[(lone + 1) % 3], height);
    to = Crossing(p, *v[(lone + 2) % 3], height);
    return true;
}

} // namespace lumo::grid
