// A floor section of a shelf plan: an outline on the floor, drawn flat or
// extruded upwards, on one of eight layers. Created see-through.
// Coordinate indices outside the point list are skipped; each run of
// indices up to -1 is one outline.
#pragma once

#include "scene/nodes/Coordinate.h"
#include "scene/nodes/ProblemNote.h"
#include "scene/nodes/SPGeometry.h"
#include "scene/nodes/ValueWatch.h"

#include <vector>

class CVPolygon;

class CVSPSection : public CVSPGeometry {
    LUMO_DECLARE_NODE(CVSPSection)

public:
    CVSPSection();

    CVSFNode<CVCoordinate> coord{this};
    CVMFInt32 coordIndex;
    CVSFBool ccw;
    CVSFBool convex;
    CVSFFloat extrusionDepth;
    CVSFInt32 layer;

    // The layer in 0..7: negative values count as 0, values above 7 as 7.
    int GetLayer() const;
    // The drawn outlines: polygons, or extrusions extrusionDepth high when
    // 'extrude' is set; made again when the values change.
    const std::vector<CVRefPtr<CVGeometry>>& GetGeometry(int extrude);
    // How many indices the last GetGeometry skipped (outside the points).
    int GetSkippedIndexCount() const { return mSkipped; }

    bool IsShown(CVGLRenderArea* area) const override;
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The outline's points (raised by the layer, and by the extrusion).
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    void SetPolygonOutlineProperties(CVGLRenderArea* area, CVPolygon* polygon);

protected:
    RGBAColorStruct KindColour(CVGLRenderArea* area) const override;

private:
    // The outlines' points, index runs resolved.
    std::vector<std::vector<Point3fStruct>> Outlines();

    std::vector<CVRefPtr<CVGeometry>> mGeometry;
    CVValueWatch mWatch;
    int mBuiltExtruded = -1;
    bool mTangled = false; // an outline could not be filled
    CVProblemNote mProblem;
    int mSkipped = 0;
};
