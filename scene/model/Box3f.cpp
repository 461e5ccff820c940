#include "scene/model/Box3f.h"

#include <algorithm>
#include <cmath>

CVBox3f::CVBox3f(const Point3fStruct& center) : mSize(0, 0, 0), mCenter(center) {}

CVBox3f::CVBox3f(const CVBox3f& other)
    : mSize(other.mSize), mCenter(other.mCenter), mMaxZ(other.mMaxZ),
      mClips(other.mClips ? std::make_unique<std::vector<ClipInfo>>(*other.mClips) : nullptr)
{
}

CVBox3f& CVBox3f::operator=(const CVBox3f& other)
{
    if (this != &other) {
        mSize = other.mSize;
        mCenter = other.mCenter;
        mMaxZ = other.mMaxZ;
        mClips = other.mClips ? std::make_unique<std::vector<ClipInfo>>(*other.mClips) : nullptr;
    }
    return *this;
}

void CVBox3f::Set(const CVVector& min, const CVVector& max)
{
    mCenter = (min + max) * 0.5f;
    mSize = max - min;
}

void CVBox3f::ComputeMinMax(CVVector& min, CVVector& max) const
{
    CVVector half = mSize * 0.5f;
    min = mCenter - half;
    max = mCenter + half;
}

void CVBox3f::MakeEmpty()
{
    mSize = CVVector(-1, -1, -1);
    mCenter = CVVector(0, 0, 0);
}

void CVBox3f::Union(const Point3fStruct& p) { Union(CVVector(p)); }

void CVBox3f::Union(const Point3dStruct& p) { Union(CVVector(float(p.x), float(p.y), float(p.z))); }

void CVBox3f::Union(const CVVector& p)
{
    if (IsEmpty()) {
        mCenter = p;
        mSize = CVVector(0, 0, 0);
        return;
    }
    CVVector lo, hi;
    ComputeMinMax(lo, hi);
    Set(CVVector(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)),
        CVVector(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)));
}

void CVBox3f::Union(const CVBox3f& box)
{
    if (box.IsEmpty())
        return;
    CVVector lo, hi;
    box.ComputeMinMax(lo, hi);
    Union(lo);
    Union(hi);
}

int CVBox3f::Intersect(const CVBox3f& box) const
{
    if (IsEmpty() || box.IsEmpty())
        return 0;
    CVVector alo, ahi, blo, bhi;
    ComputeMinMax(alo, ahi);
    box.ComputeMinMax(blo, bhi);
    return alo.x <= bhi.x && blo.x <= ahi.x && alo.y <= bhi.y && blo.y <= ahi.y &&
           alo.z <= bhi.z && blo.z <= ahi.z;
}

void CVBox3f::Transform(const CVMatrix& m)
{
    if (IsEmpty())
        return;
    CVVector lo, hi;
    ComputeMinMax(lo, hi);
    CVBox3f result;
    float maxZ = -HUGE_VALF;
    for (int i = 0; i < 8; ++i) {
        CVVector corner(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
        CVVector t;
        m.MultVecMatrix(corner, t);
        maxZ = std::max(maxZ, t.z);
        result.Union(t);
    }
    mCenter = result.mCenter;
    mSize = result.mSize;
    mMaxZ = maxZ;
}

void CVBox3f::SubtractPlane(const CVVector& normal, float distance)
{
    if (IsEmpty())
        return;
    CVVector lo, hi;
    ComputeMinMax(lo, hi);
    float* los[3] = {&lo.x, &lo.y, &lo.z};
    float* his[3] = {&hi.x, &hi.y, &hi.z};
    const float n[3] = {normal.x, normal.y, normal.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (n[axis] == 1.0f)
            *los[axis] = std::max(*los[axis], -distance);
        else if (n[axis] == -1.0f)
            *his[axis] = std::min(*his[axis], distance);
        else
            continue;
        if (*los[axis] > *his[axis]) { // the plane removes all of it
            MakeEmpty();
            return;
        }
        Set(lo, hi);
        return;
    }
}

void CVBox3f::AddClipInfo(const CVVector& point, float value)
{
    if (!mClips)
        mClips = std::make_unique<std::vector<ClipInfo>>();
    mClips->push_back({point, value});
}
