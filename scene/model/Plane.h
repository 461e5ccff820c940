// A plane as normal and distance: points p on it satisfy normal . p + distance = 0.
#pragma once

#include "scene/model/Ray.h"
#include "scene/model/Vector.h"

class CVPlane {
public:
    CVPlane() = default;
    CVPlane(const CVVector& normal, float distance) : mNormal(normal), mDistance(distance) {}

    const CVVector& GetNormal() const { return mNormal; }
    void SetNormal(const CVVector& n) { mNormal = n; }
    float GetDistance() const { return mDistance; }
    void SetDistance(float d) { mDistance = d; }

    // The point where the ray meets the plane: origin + t * direction, with
    // denominator = -(normal . direction). A ray parallel to the plane gives
    // denominator 0, t infinite or NaN, and the origin as the point.
    CVVector Intersect(const CVRay& ray, float& denominator, float& t) const;

private:
    CVVector mNormal{0.0f, 0.0f, 1.0f};
    float mDistance = 0.0f;
};

inline CVVector CVPlane::Intersect(const CVRay& ray, float& denominator, float& t) const
{
    const CVVector& dir = ray.GetDirection();
    const CVVector& org = ray.GetOrigin();
    float nd = mNormal % dir;
    denominator = -nd;
    t = -((mNormal % org) + mDistance) / nd;
    if (nd == 0.0f)
        return org;
    return org + dir * t;
}
