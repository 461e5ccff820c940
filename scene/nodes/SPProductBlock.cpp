#include "scene/nodes/SPProductBlock.h"

#include "scene/nodes/SPNames.h"

#include <algorithm>
#include <cmath>

namespace lumo::planogram {

namespace {

int FacingCount(float v, bool& capped)
{
    if (std::isnan(v) || v < 1.0f)
        return 1; // no count: one unit
    if (std::isinf(v)) {
        capped = true;
        return kMaxFacings;
    }
    if (v > float(kMaxFacings)) {
        capped = true;
        return kMaxFacings;
    }
    return int(v);
}

float Get(const Point3fStruct& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }
void Set(Point3fStruct& p, int axis, float v) { (axis == 0 ? p.x : axis == 1 ? p.y : p.z) = v; }

UnitRun MakeRun(const Counts& n, const Point3fStruct& extent, const BlockInput& in)
{
    UnitRun r;
    r.n = n;
    r.extent = extent;
    r.pitch = extent;
    switch (in.nest) {
    case Nest::Up:
    case Nest::Down:
        r.nestAxis = 1;
        break;
    case Nest::Back:
    case Nest::Front:
        r.nestAxis = 2;
        break;
    case Nest::Left:
    case Nest::Right:
        r.nestAxis = 0;
        break;
    case Nest::None:
        break;
    }
    r.descending = in.nest == Nest::Up || in.nest == Nest::Back || in.nest == Nest::Right;
    // A unit nests at most its whole extent into the previous one, and a
    // negative gap at most closes the row up: no pitch turns the block
    // round or spreads it apart.
    if (r.nestAxis >= 0) {
        const float extentAlong = Get(r.extent, r.nestAxis);
        const float depth = std::isfinite(in.nestDepth) ? std::clamp(in.nestDepth, 0.0f, extentAlong) : 0.0f;
        Set(r.pitch, r.nestAxis, extentAlong - depth);
    }
    if (r.nestAxis != 0 && std::isfinite(in.xfacingGap))
        r.pitch.x = std::max(r.pitch.x + in.xfacingGap, 0.0f);
    return r;
}

} // namespace

Nest ParseNest(const std::wstring& name)
{
    static const struct {
        const wchar_t* name;
        Nest nest;
    } kNames[] = {{L"Up", Nest::Up},     {L"Down", Nest::Down}, {L"Back", Nest::Back},
                  {L"Front", Nest::Front}, {L"Left", Nest::Left}, {L"Right", Nest::Right}};
    for (const auto& n : kNames)
        if (SameName(name, n.name))
            return n.nest;
    return Nest::None;
}

float ReduceAngle(float degrees)
{
    if (!std::isfinite(degrees))
        return 0.0f;
    const double whole = std::trunc(std::fmod(double(degrees), 360.0));
    return float(whole < 0.0 ? whole + 360.0 : whole);
}

Point3fStruct TurnedExtent(const Point3fStruct& s, const Point3fStruct& angles)
{
    const double k = M_PI / 180.0;
    const double cx = std::cos(angles.x * k), sx = std::sin(angles.x * k);
    const double cy = std::cos(angles.y * k), sy = std::sin(angles.y * k);
    const double cz = std::cos(angles.z * k), sz = std::sin(angles.z * k);
    // M = Rx * Ry * Rz: glRotatef about x, then y, then z.
    const double rx[3][3] = {{1, 0, 0}, {0, cx, -sx}, {0, sx, cx}};
    const double ry[3][3] = {{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}};
    const double rz[3][3] = {{cz, -sz, 0}, {sz, cz, 0}, {0, 0, 1}};
    double a[3][3] = {}, m[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int l = 0; l < 3; ++l)
                a[i][j] += rx[i][l] * ry[l][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int l = 0; l < 3; ++l)
                m[i][j] += a[i][l] * rz[l][j];
    const double e[3] = {std::fabs(s.x), std::fabs(s.y), std::fabs(s.z)};
    double out[3];
    for (int i = 0; i < 3; ++i) {
        out[i] = 0.0;
        for (int j = 0; j < 3; ++j) {
            // Rounding of quarter turns leaves ~1e-17 where 0 is meant.
            const double c = std::fabs(m[i][j]) < 1e-9 ? 0.0 : std::fabs(m[i][j]);
            out[i] += c * e[j];
        }
    }
    return {float(out[0]), float(out[1]), float(out[2])};
}

Point3fStruct UnitRun::Centre(int i, int j, int k) const
{
    return {float(i) * pitch.x - float(n.x - 1) * extent.x / 2.0f,
            float(j) * pitch.y - float(n.y - 1) * extent.y / 2.0f,
            float(k) * pitch.z - float(n.z - 1) * extent.z / 2.0f};
}

void UnitRun::Bounds(Point3fStruct& min, Point3fStruct& max) const
{
    const Point3fStruct first = Centre(0, 0, 0), last = Centre(n.x - 1, n.y - 1, n.z - 1);
    min = {std::min(first.x, last.x) - extent.x / 2.0f, std::min(first.y, last.y) - extent.y / 2.0f,
           std::min(first.z, last.z) - extent.z / 2.0f};
    max = {std::max(first.x, last.x) + extent.x / 2.0f, std::max(first.y, last.y) + extent.y / 2.0f,
           std::max(first.z, last.z) + extent.z / 2.0f};
}

Block MakeBlock(const BlockInput& in)
{
    Block b;
    b.n = {FacingCount(in.facings.x, b.capped), FacingCount(in.facings.y, b.capped),
           FacingCount(in.facings.z, b.capped)};
    b.angles = {ReduceAngle(in.faceRotation.x), ReduceAngle(in.faceRotation.y), ReduceAngle(in.faceRotation.z)};
    b.turned = b.angles.x != 0.0f || b.angles.y != 0.0f || b.angles.z != 0.0f;
    const Point3fStruct s{std::fabs(in.size.x), std::fabs(in.size.y), std::fabs(in.size.z)};
    b.simple = !b.turned && in.xfacingGap == 0.0f && in.nestDepth == 0.0f && !in.hasShape;
    if (b.n.Total() > kMaxUnits) {
        b.simple = true;
        b.capped = true;
    }
    b.blockSize = {s.x * float(b.n.x), s.y * float(b.n.y), s.z * float(b.n.z)};
    const Point3fStruct extent = b.turned ? TurnedExtent(s, b.angles) : s;
    b.units = MakeRun(b.n, extent, in);
    if (b.simple) {
        b.min = {-b.blockSize.x / 2.0f, -b.blockSize.y / 2.0f, -b.blockSize.z / 2.0f};
        b.max = {b.blockSize.x / 2.0f, b.blockSize.y / 2.0f, b.blockSize.z / 2.0f};
    } else {
        b.units.Bounds(b.min, b.max);
    }
    // Caps lie on their backs on top of the block, flush with its front.
    bool capCapped = false;
    if (in.capFacings.x >= 1.0f && in.capFacings.y >= 1.0f && in.capFacings.z >= 1.0f) {
        b.cap = {FacingCount(in.capFacings.x, capCapped), FacingCount(in.capFacings.y, capCapped),
                 FacingCount(in.capFacings.z, capCapped)};
        if (b.cap.Total() > kMaxUnits)
            capCapped = true;
        b.hasCaps = true;
        b.capSimple = b.simple || b.cap.Total() > kMaxUnits;
        b.capSize = {s.x * float(b.cap.x), s.y * float(b.cap.z), s.z * float(b.cap.y)};
        // On top of the block's top face, flush with its front face.
        b.capCentre = {0.0f, b.max.y + b.capSize.z / 2.0f, b.max.z - b.capSize.y / 2.0f};
        b.capUnits = MakeRun({b.cap.x, b.cap.z, b.cap.y}, extent, in);
        // In the product frame the cap block's extent is (x, z, y) of its own.
        const Point3fStruct half{b.capSize.x / 2.0f, b.capSize.z / 2.0f, b.capSize.y / 2.0f};
        b.min = {std::min(b.min.x, b.capCentre.x - half.x), std::min(b.min.y, b.capCentre.y - half.y),
                 std::min(b.min.z, b.capCentre.z - half.z)};
        b.max = {std::max(b.max.x, b.capCentre.x + half.x), std::max(b.max.y, b.capCentre.y + half.y),
                 std::max(b.max.z, b.capCentre.z + half.z)};
    }
    b.capped = b.capped || capCapped;
    return b;
}

} // namespace lumo::planogram
