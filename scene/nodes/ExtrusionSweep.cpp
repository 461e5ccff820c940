#include "scene/nodes/ExtrusionSweep.h"

#include <algorithm>
#include <cmath>

namespace lumo::extrusion {

namespace {

// Double precision for the frames: products of long spines stay exact
// enough, and lengths do not underflow.
struct D3 {
    double x = 0, y = 0, z = 0;
};

D3 Of(const Point3fStruct& p) { return {p.x, p.y, p.z}; }
D3 Of(const CVVector& v) { return {v.x, v.y, v.z}; }
D3 operator-(const D3& a, const D3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3 operator+(const D3& a, const D3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3 operator*(const D3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
D3 Cross(const D3& a, const D3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(const D3& a, const D3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(const D3& a) { return std::sqrt(Dot(a, a)); }
bool Usable(double length) { return length > 0.0 && std::isfinite(length); }
// The unit vector, or false when it has no direction.
bool Unit(D3& v)
{
    const double len = Length(v);
    if (!Usable(len))
        return false;
    v = v * (1.0 / len);
    return true;
}
CVVector ToVector(const D3& v) { return CVVector(float(v.x), float(v.y), float(v.z)); }

// v rotated by angle about the unit axis (right-handed).
D3 Rotate(const D3& v, const D3& axis, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return v * c + Cross(axis, v) * s + axis * (Dot(axis, v) * (1.0 - c));
}

bool Finite(const Point3fStruct& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
bool Finite(const Point2fStruct& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The frame z axes of a spine that turns (step 5 of the sweep); false when
// every one of them is zero (a straight spine).
bool TurningZ(const SweepInput& in, bool closed, std::vector<D3>& z)
{
    const int ns = in.numSpine;
    const Point3fStruct* s = in.spine;
    z.assign(size_t(ns), D3{});
    if (ns < 3)
        return false;
    int firstNonZero = -1;
    for (int j = 0; j < ns; ++j) {
        D3 at, next, prev;
        if (j > 0 && j < ns - 1) {
            at = Of(s[j]), next = Of(s[j + 1]), prev = Of(s[j - 1]);
        } else if (closed) {
            at = Of(s[j]), next = Of(s[1]), prev = Of(s[ns - 2]);
        } else if (j == 0) {
            at = Of(s[1]), next = Of(s[2]), prev = Of(s[0]);
        } else {
            at = Of(s[ns - 2]), next = Of(s[ns - 1]), prev = Of(s[ns - 3]);
        }
        D3 zj = Cross(next - at, prev - at);
        if (Unit(zj)) {
            if (j > 0 && Dot(zj, z[size_t(j - 1)]) < 0.0)
                zj = zj * -1.0;
            z[size_t(j)] = zj;
            if (firstNonZero < 0) {
                firstNonZero = j;
                for (int e = 0; e < j; ++e)
                    z[size_t(e)] = zj;
            }
        } else if (j > 0) {
            z[size_t(j)] = z[size_t(j - 1)];
        }
    }
    return firstNonZero >= 0;
}

// The z axis of a straight spine: (0, 0, 1) turned as +y is turned onto
// the spine's direction; +y for a spine whose points are all equal.
D3 StraightZ(const SweepInput& in)
{
    D3 d{0, 1, 0};
    for (int j = 1; j < in.numSpine; ++j) {
        D3 step = Of(in.spine[j]) - Of(in.spine[0]);
        if (Unit(step)) {
            d = step;
            break;
        }
    }
    if (d.y >= 1.0)
        return {0, 0, 1};
    if (d.y <= -1.0)
        return {0, 0, -1};
    D3 axis{d.z, 0, -d.x};
    if (!Unit(axis))
        return d.y > 0 ? D3{0, 0, 1} : D3{0, 0, -1};
    return Rotate({0, 0, 1}, axis, std::acos(d.y));
}

} // namespace

bool SweepPositions(const SweepInput& in, Sweep& out)
{
    out = Sweep();
    const int ns = in.numSpine, nc = in.numCross;
    if (ns < 2 || nc < 2 || !in.spine || !in.cross)
        return false;
    for (int j = 0; j < ns; ++j)
        if (!Finite(in.spine[j]))
            return false;
    for (int k = 0; k < nc; ++k)
        if (!Finite(in.cross[k]))
            return false;
    for (int k = 0; k < in.numScale; ++k)
        if (!Finite(in.scale[k]))
            return false;
    const Point3fStruct& first = in.spine[0];
    const Point3fStruct& last = in.spine[ns - 1];
    out.closedSpine = first.x == last.x && first.y == last.y && first.z == last.z;
    out.closedCross = in.cross[0].x == in.cross[nc - 1].x && in.cross[0].y == in.cross[nc - 1].y;

    std::vector<D3> z;
    if (!TurningZ(in, out.closedSpine, z))
        z.assign(size_t(ns), StraightZ(in));

    out.ns = ns;
    out.nc = nc;
    out.rows.resize(size_t(ns));
    out.positions.resize(size_t(ns) * size_t(nc));
    Point2fStruct scale = in.numScale > 0 ? in.scale[0] : Point2fStruct{1, 1};
    CVRotation orientation = in.numOrientation > 0 ? in.orientation[0] : CVRotation();
    const Point3fStruct* s = in.spine;
    for (int j = 0; j < ns; ++j) {
        D3 y;
        if (j > 0 && j < ns - 1)
            y = Of(s[j + 1]) - Of(s[j - 1]);
        else if (out.closedSpine)
            y = Of(s[1]) - Of(s[ns - 2]);
        else if (j == 0)
            y = Of(s[1]) - Of(s[0]);
        else
            y = Of(s[ns - 1]) - Of(s[ns - 2]);
        if (!Unit(y))
            y = {0, 1, 0};
        D3 zj = z[size_t(j)];
        D3 x = Cross(y, zj);
        if (!Unit(x)) {
            // The tangent runs along z: any axis square to it will do.
            x = Cross(y, std::fabs(y.x) < 0.9 ? D3{1, 0, 0} : D3{0, 0, 1});
            Unit(x);
            zj = Cross(x, y);
        }
        if (in.numScale > 1 && j < in.numScale)
            scale = in.scale[j];
        if (in.numOrientation > 1 && j < in.numOrientation)
            orientation = in.orientation[j];
        D3 axis{orientation.x, orientation.y, orientation.z};
        const double angle = orientation.angle;
        if (angle != 0.0 && std::isfinite(angle) && Unit(axis)) {
            x = Rotate(x, axis, angle);
            y = Rotate(y, axis, angle);
            zj = Rotate(zj, axis, angle);
        }
        Row& row = out.rows[size_t(j)];
        const D3 origin = Of(s[j]);
        const D3 ax = x * scale.x, az = zj * scale.y;
        row.origin = ToVector(origin);
        row.xAxis = ToVector(ax);
        row.zAxis = ToVector(az);
        row.tangent = ToVector(y);
        for (int k = 0; k < nc; ++k) {
            const D3 p = origin + ax * in.cross[k].x + az * in.cross[k].y;
            const Point3fStruct q{float(p.x), float(p.y), float(p.z)};
            if (!Finite(q)) {
                out = Sweep();
                return false;
            }
            out.positions[size_t(j) * size_t(nc) + size_t(k)] = q;
        }
    }
    Point3fStruct lo = out.positions[0], hi = lo;
    for (const Point3fStruct& q : out.positions) {
        lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
        hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
    }
    out.box.Set(CVVector(lo), CVVector(hi));
    return true;
}

void CalcNormalIndexes(const Sweep& sw, int s, int k, int& a, int& b, int& c, int& d)
{
    const int lastRow = sw.ns - 2, lastCol = sw.nc - 2;
    auto row = [&](int r) { return r < 0 ? (sw.closedSpine ? lastRow : 0) : r > lastRow ? (sw.closedSpine ? 0 : lastRow) : r; };
    auto col = [&](int q) { return q < 0 ? (sw.closedCross ? lastCol : 0) : q > lastCol ? (sw.closedCross ? 0 : lastCol) : q; };
    a = row(s - 1) * sw.nc + col(k - 1);
    b = row(s) * sw.nc + col(k - 1);
    c = row(s) * sw.nc + col(k);
    d = row(s - 1) * sw.nc + col(k);
}

CVVector CalcAveragedNormal(const Sweep& sw, int s, int k, const std::vector<CVVector>& n, int flags, int corner)
{
    int a, b, c, d;
    CalcNormalIndexes(sw, s, k, a, b, c, d);
    const D3 na = Of(n[size_t(a)]), nb = Of(n[size_t(b)]), nc = Of(n[size_t(c)]), nd = Of(n[size_t(d)]);
    const D3 own = corner == 1 ? na : corner == 2 ? nb : corner == 3 ? nc : nd;
    D3 m;
    const bool spine = flags & Shading::ACROSS_SPINE, section = flags & Shading::ACROSS_SECTION;
    if (spine && section)
        m = (na + nb + nc + nd) * 0.25;
    else if (spine)
        m = (corner == 1 || corner == 2) ? (na + nb) * 0.5 : (nc + nd) * 0.5;
    else if (section)
        m = (corner == 1 || corner == 4) ? (na + nd) * 0.5 : (nb + nc) * 0.5;
    else
        m = own;
    if (!Unit(m))
        m = own;
    return ToVector(m);
}

void SweepShading(const SweepInput& in, const Sweep& sw, const ShadingInput& sh, Shading& out)
{
    out = Shading();
    const int ns = sw.ns, nc = sw.nc;
    if (ns < 2 || nc < 2)
        return;
    // Face normals (Newell's, over the quad's four corners).
    out.faceNormals.assign(size_t(ns) * size_t(nc), CVVector(0, 1, 0));
    for (int j = 0; j + 1 < ns; ++j)
        for (int k = 0; k + 1 < nc; ++k) {
            const Point3fStruct* q[4] = {&sw.At(j, k), &sw.At(j, k + 1), &sw.At(j + 1, k + 1), &sw.At(j + 1, k)};
            D3 n;
            for (int e = 0; e < 4; ++e) {
                const D3 p = Of(*q[e]), r = Of(*q[(e + 1) % 4]);
                n.x += (p.y - r.y) * (p.z + r.z);
                n.y += (p.z - r.z) * (p.x + r.x);
                n.z += (p.x - r.x) * (p.y + r.y);
            }
            if (!sh.ccw)
                n = n * -1.0;
            if (!Unit(n)) // no area: facing along the spine
                n = Of(sw.rows[size_t(j)].tangent);
            out.faceNormals[size_t(j) * size_t(nc) + size_t(k)] = ToVector(n);
        }
    // Smoothing flags.
    out.smooth.assign(size_t(ns) * size_t(nc), 0);
    if (sh.creaseAngle != 0.0f || sh.spineCreaseAngle != 0.0f)
        for (int j = 0; j < ns; ++j)
            for (int k = 0; k < nc; ++k) {
                int a, b, c, d;
                CalcNormalIndexes(sw, j, k, a, b, c, d);
                unsigned char f = 0;
                if (out.faceNormals[size_t(b)].AngleNorm(out.faceNormals[size_t(c)]) < sh.creaseAngle)
                    f |= Shading::ACROSS_SECTION;
                if (out.faceNormals[size_t(c)].AngleNorm(out.faceNormals[size_t(d)]) < sh.spineCreaseAngle)
                    f |= Shading::ACROSS_SPINE;
                out.smooth[size_t(j) * size_t(nc) + size_t(k)] = f;
            }
    // Texture coordinates of the side: by length along the cross-section
    // (s) and along the spine (t).
    std::vector<double> spineLen(size_t(ns), 0.0), crossLen(size_t(nc), 0.0);
    for (int j = 1; j < ns; ++j)
        spineLen[size_t(j)] = spineLen[size_t(j - 1)] + Length(Of(in.spine[j]) - Of(in.spine[j - 1]));
    for (int k = 1; k < nc; ++k)
        crossLen[size_t(k)] = crossLen[size_t(k - 1)] + std::hypot(double(in.cross[k].x) - in.cross[k - 1].x,
                                                                     double(in.cross[k].y) - in.cross[k - 1].y);
    double spineTotal = spineLen.back(), crossTotal = crossLen.back();
    if (!(spineTotal > 0.0))
        spineTotal = 1e-6;
    if (!(crossTotal > 0.0))
        crossTotal = 1e-6;
    double ms = 1.0, mt = 1.0;
    if (sh.stretchTexture) {
        const double r = spineTotal / crossTotal;
        if (r > 2.0)
            mt = std::trunc(r);
        else if (r < 0.1) {
            ms = 4.0;
            mt = 3.0 * r;
        }
    }
    out.sideTex.resize(size_t(ns) * size_t(nc));
    for (int j = 0; j < ns; ++j)
        for (int k = 0; k < nc; ++k)
            out.sideTex[size_t(j) * size_t(nc) + size_t(k)] = {float(ms * crossLen[size_t(k)] / crossTotal),
                                                               float(mt * spineLen[size_t(j)] / spineTotal)};
    // Texture coordinates of the caps: across the cross-section's extent.
    float minX = in.cross[0].x, maxX = minX, minZ = in.cross[0].y, maxZ = minZ;
    for (int k = 1; k < nc; ++k) {
        minX = std::min(minX, in.cross[k].x);
        maxX = std::max(maxX, in.cross[k].x);
        minZ = std::min(minZ, in.cross[k].y);
        maxZ = std::max(maxZ, in.cross[k].y);
    }
    const double dx = maxX - minX > 0.0f ? double(maxX) - minX : 0.0001;
    const double dz = maxZ - minZ > 0.0f ? double(maxZ) - minZ : 0.0001;
    out.capMinX = minX;
    out.capMinZ = minZ;
    out.capExtentX = float(dx);
    out.capExtentZ = float(dz);
    out.capTex.resize(size_t(nc));
    for (int k = 0; k < nc; ++k)
        out.capTex[size_t(k)] = out.CapTexAt(in.cross[k].x, in.cross[k].y);
}

} // namespace lumo::extrusion
