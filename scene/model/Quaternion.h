// A quaternion (x, y, z, w): vector part first, scalar last; rotations compose
// through its Hamilton product.
#pragma once

#include "scene/model/Structs.h"
#include "scene/model/Vector.h"

// The order in which ConvertXYZtoQuaternion applies its three angles.
enum eRotationOrder {
    eRotateXYZ = 0,
    eRotateYXZ = 1,
    eRotateZXY = 2,
};

class CVQuaternion {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;

    CVQuaternion() = default;
    CVQuaternion(float qx, float qy, float qz, float qw) : x(qx), y(qy), z(qz), w(qw) {}
    CVQuaternion(const CVQuaternion&) = default;
    CVQuaternion& operator=(const CVQuaternion&) = default;
    virtual ~CVQuaternion() = default;

    // (axis * sin(angle / 2), cos(angle / 2)); the axis is used as given.
    void Set(const CVVector& axis, float angle);
    void Set(const Point3fStruct& axis, float angle);
    void Set(float qx, float qy, float qz, float qw);
    // Axis and angle; the axis is (0, 0, 0) when the angle is 0.
    void Get(CVVector& axis, float& angle) const;
    void Get(Point3fStruct& axis, float& angle) const;
    void Get(float& qx, float& qy, float& qz, float& qw) const;

    CVQuaternion operator*(const CVQuaternion& q) const; // Hamilton product this x q
    CVQuaternion operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    CVQuaternion operator+(const CVQuaternion& q) const { return {x + q.x, y + q.y, z + q.z, w + q.w}; }
    CVQuaternion operator-(const CVQuaternion& q) const { return {x - q.x, y - q.y, z - q.z, w - q.w}; }
    CVQuaternion& operator*=(const CVQuaternion& q) { return *this = *this * q; }
    CVQuaternion& operator*=(float s) { return *this = *this * s; }
    CVQuaternion& operator+=(const CVQuaternion& q) { return *this = *this + q; }
    CVQuaternion& operator-=(const CVQuaternion& q) { return *this = *this - q; }
    bool operator==(const CVQuaternion& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }

    float Dot(const CVQuaternion& q) const { return x * q.x + y * q.y + z * q.z + w * q.w; }
    float Norm() const { return Dot(*this); } // squared length
    float Length() const;
    CVQuaternion& Normalize();
    CVQuaternion& Negate();
    CVQuaternion& Conjugate();
    // The multiplicative inverse: the conjugate divided by the norm.
    CVQuaternion& Inverse();
    // Cross product of the vector parts, with scalar 0.
    CVQuaternion Cross(const CVQuaternion& q) const;
    // The rotation half way between two unit quaternions.
    static CVQuaternion Bisect(const CVQuaternion& a, const CVQuaternion& b);

    static CVQuaternion AddIdentity() { return {0.0f, 0.0f, 0.0f, 0.0f}; }
    static CVQuaternion MultIdentity() { return {0.0f, 0.0f, 0.0f, 1.0f}; }

    // Sets this to the rotation by the three angles in degrees, applied about
    // the axes in the given order (zero angles skipped).
    CVQuaternion& ConvertXYZtoQuaternion(float ax, float ay, float az, eRotationOrder order);
};
