#include "scene/model/Rotation.h"

#include "scene/model/Quaternion.h"

void CVRotation::SetValue(float ax, float ay, float az, float a)
{
    x = ax;
    y = ay;
    z = az;
    angle = a;
}

void CVRotation::SetValue(const Point3fStruct& axis, float a) { SetValue(axis.x, axis.y, axis.z, a); }

void CVRotation::SetValue(const CVVector& from, const CVVector& to)
{
    CVVector axis = from * to;
    axis.Normalize();
    SetValue(axis.x, axis.y, axis.z, from.Angle(to));
}

void CVRotation::SetValue(float a, float b, float c)
{
    CVQuaternion qx, qy, qz;
    qx.Set(CVVector(1, 0, 0), a);
    qy.Set(CVVector(0, 1, 0), b);
    qz.Set(CVVector(0, 0, 1), c);
    Point3fStruct axis;
    float turn;
    (qx * qy * qz).Get(axis, turn);
    SetValue(axis, turn);
}

void CVRotation::GetValue(Point3fStruct& axis, float& a) const
{
    axis = {x, y, z};
    a = angle;
}
