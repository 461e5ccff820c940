// An axis-aligned box as centre and size; any negative size component makes
// it empty. It can carry clip records that bounding-box walks apply.
#pragma once

#include "scene/model/Matrix.h"
#include "scene/model/Structs.h"
#include "scene/model/Vector.h"

#include <memory>
#include <vector>

class CVBox3f {
public:
    struct ClipInfo {
        CVVector point;
        float value;
    };

    CVBox3f() { MakeEmpty(); }
    explicit CVBox3f(const Point3fStruct& center);
    CVBox3f(const CVBox3f& other);
    CVBox3f& operator=(const CVBox3f& other);

    void Set(const CVVector& min, const CVVector& max);
    void SetCenter(const CVVector& c) { mCenter = c; }
    void SetSize(const CVVector& s) { mSize = s; }
    const CVVector& GetCenter() const { return mCenter; }
    const CVVector& GetSize() const { return mSize; }
    // centre -/+ size / 2
    void ComputeMinMax(CVVector& min, CVVector& max) const;
    void MakeEmpty();
    bool IsEmpty() const { return mSize.x < 0.0f || mSize.y < 0.0f || mSize.z < 0.0f; }

    void Union(const Point3fStruct& p);
    void Union(const Point3dStruct& p);
    void Union(const CVVector& p);
    void Union(const CVBox3f& box);
    // 1 when the two extents overlap (touching counts).
    int Intersect(const CVBox3f& box) const;
    // Replaces the box by the extent of its eight transformed corners and
    // records their largest z.
    void Transform(const CVMatrix& m);
    float GetMaxZ() const { return mMaxZ; }
    // Cuts the extent back to the half-space normal . p + distance >= 0 (the
    // side OpenGL keeps) for an axis-aligned unit normal.
    void SubtractPlane(const CVVector& normal, float distance);

    void AddClipInfo(const CVVector& point, float value);
    bool HaveClipList() const { return mClips && !mClips->empty(); }
    const std::vector<ClipInfo>* GetClipList() const { return mClips.get(); }
    void DeleteClipList() { mClips.reset(); }

private:
    CVVector mSize;
    CVVector mCenter;
    float mMaxZ = 0.0f;
    std::unique_ptr<std::vector<ClipInfo>> mClips;
};
