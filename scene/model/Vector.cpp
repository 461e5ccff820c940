#include "scene/model/Vector.h"

#include "scene/model/Plane.h"

#include <algorithm>
#include <cmath>

CVVector& CVVector::operator=(const Point3fStruct& p)
{
    x = p.x;
    y = p.y;
    z = p.z;
    return *this;
}

CVVector& CVVector::operator+=(const CVVector& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

CVVector& CVVector::operator-=(const CVVector& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

CVVector& CVVector::operator*=(float s)
{
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

CVVector CVVector::operator*(const CVVector& v) const
{
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
}

CVVector& CVVector::operator!()
{
    Normalize();
    return *this;
}

float CVVector::Length() const { return std::sqrt(x * x + y * y + z * z); }

float CVVector::Normalize()
{
    float len = Length();
    if (len > 0.0f)
        *this *= 1.0f / len;
    return len;
}

void CVVector::Normalize(float length)
{
    Normalize();
    *this *= length;
}

float CVVector::Angle(const CVVector& v) const
{
    CVVector a = *this, b = v;
    if (a.Normalize() == 0.0f || b.Normalize() == 0.0f)
        return 0.0f;
    return a.AngleNorm(b);
}

float CVVector::AngleNorm(const CVVector& v) const
{
    // Rounding can push the dot product of unit vectors just past +-1.
    return std::acos(std::clamp(*this % v, -1.0f, 1.0f));
}

bool CVVector::IsParallel(const CVVector& v) const
{
    float d = *this % v;
    return d == 1.0f || d == -1.0f;
}

CVVector CVVector::Project(const CVPlane& plane) const
{
    const CVVector& n = plane.GetNormal();
    float nn = n % n;
    if (nn == 0.0f)
        return *this;
    return *this - n * (((n % *this) + plane.GetDistance()) / nn);
}

void CVVector::Rotate(const CVVector& axis, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    CVVector v = *this;
    *this = v * c + (axis * v) * s + axis * ((axis % v) * (1.0f - c));
}
