// A 3-component float vector with the usual products (cross is '*', dot is '%').
#pragma once

#include "scene/model/Structs.h"

class CVPlane;

class CVVector {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;

    CVVector() = default;
    CVVector(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
    explicit CVVector(const Point3fStruct& p) : x(p.x), y(p.y), z(p.z) {}

    CVVector& operator=(const Point3fStruct& p);
    Point3fStruct ToPoint() const { return {x, y, z}; }

    CVVector operator+(const CVVector& v) const { return {x + v.x, y + v.y, z + v.z}; }
    CVVector operator-(const CVVector& v) const { return {x - v.x, y - v.y, z - v.z}; }
    CVVector operator-() const { return {-x, -y, -z}; }
    CVVector& operator+=(const CVVector& v);
    CVVector& operator-=(const CVVector& v);
    CVVector operator*(float s) const { return {x * s, y * s, z * s}; }
    CVVector& operator*=(float s);
    CVVector operator*(const CVVector& v) const; // cross product
    float operator%(const CVVector& v) const { return x * v.x + y * v.y + z * v.z; }
    CVVector& operator!(); // normalise in place; a zero vector stays zero
    bool operator==(const CVVector& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const CVVector& v) const { return !(*this == v); }

    float Length() const;
    // Scales to unit length and returns the length it had.
    float Normalize();
    // Scales to the given length.
    void Normalize(float length);
    float Angle(const CVVector& v) const;
    float AngleNorm(const CVVector& v) const;
    // True when the dot product is exactly 1 or -1: meant for unit vectors.
    bool IsParallel(const CVVector& v) const;
    // The point's orthogonal projection onto the plane.
    CVVector Project(const CVPlane& plane) const;
    // Rotates about a unit axis through the origin.
    void Rotate(const CVVector& axis, float angle);
};
