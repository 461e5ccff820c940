// A rotation as a (not necessarily unit) axis and an angle in radians.
#pragma once

#include "scene/model/Structs.h"
#include "scene/model/Vector.h"

class CVRotation {
public:
    float angle = 0.0f;
    float x = 0.0f, y = 1.0f, z = 0.0f;

    CVRotation() = default;
    CVRotation(float ax, float ay, float az, float a) : angle(a), x(ax), y(ay), z(az) {}

    // These store the values unchanged: the axis is not normalised.
    void SetValue(float ax, float ay, float az, float a);
    void SetValue(const Point3fStruct& axis, float a);
    // The rotation that turns 'from' towards 'to'.
    void SetValue(const CVVector& from, const CVVector& to);
    // The product X(a) . Y(b) . Z(c) of rotations about the three axes.
    void SetValue(float a, float b, float c);
    void GetValue(Point3fStruct& axis, float& a) const;

    // Yields the identity rotation whatever its operands; rotations are
    // composed through CVQuaternion.
    CVRotation operator+(const CVRotation&) const { return CVRotation(); }
    bool operator==(const CVRotation& r) const
    {
        return angle == r.angle && x == r.x && y == r.y && z == r.z;
    }
};
