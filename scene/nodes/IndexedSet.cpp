#include "scene/nodes/IndexedSet.h"

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_CLASS(CVIndexedSet, CVGeometry)

CVIndexedSet::CVIndexedSet() { colorPerVertex.SetValue(1); }

void CVIndexedSet::GetCoordinateIndex(int part, int& start, int& count) const
{
    start = 0;
    count = 0;
    if (part < 0)
        return;
    const int* indices = coordIndex.GetValues();
    const int n = coordIndex.GetNum();
    int separators = 0;
    for (int i = 0; i < n && separators < part; ++i)
        if (indices[i] == -1) {
            ++separators;
            start = i + 1;
        }
    int end = start;
    while (end < n && indices[end] != -1)
        ++end;
    count = end - start;
}

void CVIndexedSet::GetColorIndex(int part, int& index, int& count, int& flag) const
{
    if (colorPerVertex.GetValue()) {
        GetCoordinateIndex(part, index, count);
    } else {
        index = part;
        count = 1;
    }
    flag = colorIndex.GetNum() == 0 ? 1 : 0;
}

void CVIndexedSet::GetCoordInfo(int& parts, int& maxIndex) const
{
    const int* indices = coordIndex.GetValues();
    const int n = coordIndex.GetNum();
    parts = 0;
    maxIndex = -1;
    for (int i = 0; i < n; ++i) {
        if (indices[i] == -1)
            ++parts;
        if (indices[i] > maxIndex)
            maxIndex = indices[i];
    }
    if (n > 0 && indices[n - 1] != -1)
        ++parts;
}

void CVIndexedSet::CollectInputs(Inputs& inputs) const
{
    const CVCoordinate* c = coord.GetValue();
    const CVColor* k = color.GetValue();
    inputs.Add(c);
    inputs.Add(c ? c->point.GetValues() : nullptr);
    inputs.Add(std::uintptr_t(c ? c->point.GetNum() : 0));
    inputs.Add(k);
    inputs.Add(k ? k->color.GetValues() : nullptr);
    inputs.Add(std::uintptr_t(k ? k->color.GetNum() : 0));
    inputs.Add(coordIndex.GetValues());
    inputs.Add(std::uintptr_t(coordIndex.GetNum()));
    inputs.Add(colorIndex.GetValues());
    inputs.Add(std::uintptr_t(colorIndex.GetNum()));
    inputs.Add(std::uintptr_t(colorPerVertex.GetValue()));
}

void CVIndexedSet::CheckInputs()
{
    Inputs now;
    CollectInputs(now);
    if (now != mLastInputs) {
        SetModifiedFlag(1);
        mLastInputs = now;
    }
}

void CVIndexedSet::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (!box)
        return;
    Inputs now;
    CollectInputs(now);
    if (!IsCached() || now != mBoxInputs) {
        const CVCoordinate* c = coord.GetValue();
        const Point3fStruct* points = c ? c->point.GetValues() : nullptr;
        const int numPoints = c ? c->point.GetNum() : 0;
        const int* indices = coordIndex.GetValues();
        // Points that are no numbers (NaN, infinite) would spoil the box.
        float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
        for (int i = 0, n = coordIndex.GetNum(); i < n; ++i) {
            if (indices[i] < 0 || indices[i] >= numPoints)
                continue;
            const Point3fStruct& p = points[indices[i]];
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                continue;
            const float v[3] = {p.x, p.y, p.z};
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], v[a]);
                hi[a] = std::max(hi[a], v[a]);
            }
        }
        if (lo[0] <= hi[0])
            mBox.Set(CVVector(lo[0], lo[1], lo[2]), CVVector(hi[0], hi[1], hi[2]));
        else
            mBox.MakeEmpty();
        mBoxInputs = now;
        SetCachedFlag(1);
    }
    *box = mBox;
}
