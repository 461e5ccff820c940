// What a geometry reports for the part of it a pick hit (a face, a
// polyline, a point, a side of a box), and the per-point record that the
// details of indexed geometry hand out. Details are made per pick and owned
// by whoever asked for them.
#pragma once

#include "scene/model/Base.h"

class CVDetail : public CVBase {
    LUMO_DECLARE_CLASS(CVDetail)

public:
    // Fills in what the detail reports; the picking action calls it before
    // handing the detail out. Nothing to do for details that are complete
    // when made.
    virtual void ComputeDetails() {}
};

// One point of a picked part: its coordinate index, -1 while unknown.
class CVPointInfo {
public:
    CVPointInfo() = default;
    explicit CVPointInfo(int coordinateIndex) : mCoordinateIndex(coordinateIndex) {}

    int GetCoordinateIndex() const { return mCoordinateIndex; }
    void SetCoordinateIndex(int index) { mCoordinateIndex = index; }

private:
    int mCoordinateIndex = -1;
};
