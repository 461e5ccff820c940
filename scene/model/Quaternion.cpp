#include "scene/model/Quaternion.h"

#include <algorithm>
#include <cmath>

void CVQuaternion::Set(const CVVector& axis, float angle)
{
    float s = std::sin(angle / 2.0f);
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = std::cos(angle / 2.0f);
}

void CVQuaternion::Set(const Point3fStruct& axis, float angle) { Set(CVVector(axis), angle); }

void CVQuaternion::Set(float qx, float qy, float qz, float qw)
{
    x = qx;
    y = qy;
    z = qz;
    w = qw;
}

void CVQuaternion::Get(CVVector& axis, float& angle) const
{
    // w can stray past 1 by rounding; acos would then give NaN.
    angle = 2.0f * std::acos(std::clamp(w, -1.0f, 1.0f));
    float s = std::sin(angle / 2.0f);
    if (angle == 0.0f || s == 0.0f)
        axis = CVVector(0.0f, 0.0f, 0.0f);
    else
        axis = CVVector(x / s, y / s, z / s);
}

void CVQuaternion::Get(Point3fStruct& axis, float& angle) const
{
    CVVector a;
    Get(a, angle);
    axis = a.ToPoint();
}

void CVQuaternion::Get(float& qx, float& qy, float& qz, float& qw) const
{
    qx = x;
    qy = y;
    qz = z;
    qw = w;
}

CVQuaternion CVQuaternion::operator*(const CVQuaternion& q) const
{
    return {w * q.x + x * q.w + y * q.z - z * q.y,
            w * q.y + y * q.w + z * q.x - x * q.z,
            w * q.z + z * q.w + x * q.y - y * q.x,
            w * q.w - x * q.x - y * q.y - z * q.z};
}

float CVQuaternion::Length() const { return std::sqrt(Norm()); }

CVQuaternion& CVQuaternion::Normalize()
{
    float len = Length();
    if (len > 0.0f)
        *this *= 1.0f / len;
    return *this;
}

CVQuaternion& CVQuaternion::Negate()
{
    x = -x;
    y = -y;
    z = -z;
    w = -w;
    return *this;
}

CVQuaternion& CVQuaternion::Conjugate()
{
    x = -x;
    y = -y;
    z = -z;
    return *this;
}

CVQuaternion& CVQuaternion::Inverse()
{
    float n = Norm();
    Conjugate();
    if (n > 0.0f)
        *this *= 1.0f / n;
    return *this;
}

CVQuaternion CVQuaternion::Cross(const CVQuaternion& q) const
{
    return {y * q.z - z * q.y, z * q.x - x * q.z, x * q.y - y * q.x, 0.0f};
}

CVQuaternion CVQuaternion::Bisect(const CVQuaternion& a, const CVQuaternion& b)
{
    CVQuaternion r = a + b;
    if (r.Norm() == 0.0f) // opposite rotations: no unique half way
        return MultIdentity();
    return r.Normalize();
}

CVQuaternion& CVQuaternion::ConvertXYZtoQuaternion(float ax, float ay, float az, eRotationOrder order)
{
    const float toRadians = 0.017453292f;
    const CVVector axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const float angles[3] = {ax, ay, az};
    static const int sequences[3][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}};
    const int* seq = sequences[order == eRotateYXZ ? 1 : order == eRotateZXY ? 2 : 0];

    *this = MultIdentity();
    for (int i = 0; i < 3; ++i) {
        int a = seq[i];
        if (angles[a] == 0.0f)
            continue;
        CVQuaternion r;
        r.Set(axes[a], angles[a] * toRadians);
        *this = *this * r;
    }
    return *this;
}
