// The split of a wide scene into print segments along x, one page each.
#include "scene/print/Print.h"

#include <algorithm>

int CVPrint::GetSegmentBbox(int n, const CVBox3f* sceneBox, CVBox3f* out, int swapXZ, int& valid) const
{
    valid = 0;
    if (!sceneBox || sceneBox->IsEmpty()) {
        if (out)
            out->MakeEmpty();
        return 1;
    }
    CVBox3f box;
    CVVector size = sceneBox->GetSize();
    if (swapXZ)
        std::swap(size.x, size.z);
    box.SetCenter(sceneBox->GetCenter());
    box.SetSize(size);
    if (mSegments.empty()) {
        if (out)
            *out = box;
        valid = 1;
        return 1;
    }
    if (n < 0 || size_t(n) >= mSegments.size()) {
        if (out)
            out->MakeEmpty();
        return 1;
    }
    CVVector min, max;
    box.ComputeMinMax(min, max);
    const double minX = min.x, maxX = max.x;
    const double tolerance = 0.001 * (maxX - minX);
    double start = minX;
    for (int i = 0; i < n; ++i)
        start += mSegments[size_t(i)];
    const double end = std::min(start + mSegments[size_t(n)], maxX);
    const int last = end >= maxX - tolerance ? 1 : 0;
    valid = (start >= minX - tolerance && start < end - tolerance) ? 1 : 0;
    if (out) {
        if (valid)
            out->Set(CVVector(float(start), min.y, min.z), CVVector(float(end), max.y, max.z));
        else
            out->MakeEmpty();
    }
    return last;
}

int CVPrint::GetNumPages(const CVBox3f& sceneBox, int swapXZ) const
{
    int pages = mIncludeSection ? 1 : 0;
    if (mSegments.empty() || !mIncludeSegments)
        return pages;
    for (size_t n = 0; n < mSegments.size(); ++n) {
        int valid = 0;
        GetSegmentBbox(int(n), &sceneBox, nullptr, swapXZ, valid);
        pages += valid;
    }
    return pages;
}
