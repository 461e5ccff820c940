// The detail of a picked part of indexed geometry: the part's index (a face,
// polyline or point number, the selection name it was drawn under) and,
// once ComputeDetails has run, the points that make it up.
#pragma once

#include "scene/core/Detail.h"

#include <utility>
#include <vector>

class CVIndexDetail : public CVDetail {
    LUMO_DECLARE_CLASS(CVIndexDetail)

public:
    explicit CVIndexDetail(int index) : mIndex(index) {}

    int GetIndex() const { return mIndex; }
    // 0 until ComputeDetails has run.
    int GetNumPoints() const { return int(mPoints.size()); }
    // Entry i; an index outside 0 .. GetNumPoints() - 1 gives an entry
    // with coordinate index -1.
    CVPointInfo GetPoint(int i) const;

protected:
    void SetPoints(std::vector<CVPointInfo> points) { mPoints = std::move(points); }

private:
    int mIndex;
    std::vector<CVPointInfo> mPoints;
};
