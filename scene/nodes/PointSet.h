// A cloud of unlit points: every point of its coordinate node, coloured one
// by one by its colour node or in the material's emissive colour. Without a
// coordinate node it is one point at the origin. Picking draws each point
// under its point number.
//
// Bounds: a colour list shorter than the points colours the first points;
// the rest keep the last colour. Points that are no finite numbers are
// left out. pointSize is taken as 2 when it is not a positive number.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Color.h"
#include "scene/nodes/Coordinate.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/IndexDetail.h"

#include <vector>

class CVPointSet : public CVGeometry {
    LUMO_DECLARE_NODE(CVPointSet)

public:
    CVPointSet();

    CVSFNode<CVColor> color{this};
    CVSFNode<CVCoordinate> coord{this};
    // Also a document attribute (after the two node fields), so that a
    // saved scene keeps its point size.
    CVSFFloat pointSize;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The box round all points; the origin's without a coordinate node;
    // empty for a coordinate node without points.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // A CVPointSetDetail for point number 'name'.
    CVDetail* GetPickDetail(unsigned int name) override;

private:
    // Whether every point is a finite number (kept while the points stay).
    bool AllFinite();
    void Draw();
    void Pick();

    const void* mCheckedPoints = nullptr;
    int mCheckedCount = -1;
    bool mAllFinite = true;
};

class CVPointSetDetail : public CVIndexDetail {
    LUMO_DECLARE_CLASS(CVPointSetDetail)

public:
    CVPointSetDetail(int index, CVPointSet* geometry) : CVIndexDetail(index), mGeometry(geometry) {}
    // Not referenced: valid while the scene is unchanged.
    CVPointSet* GetGeometry() const { return mGeometry; }
    // One entry: the point number.
    void ComputeDetails() override;

private:
    CVPointSet* mGeometry;
};
