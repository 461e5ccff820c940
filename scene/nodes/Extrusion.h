// A cross-section swept along a spine, scaled and turned at every spine
// point, with caps on its ends: ribbons, tubes and bars. The sweep is
// compiled into a display list when anything it is made from changes; the
// bounding box comes from the same sweep, made without OpenGL.
//
// Bounds: at most kMaxPoints swept points (spine points x cross-section
// points); a larger extrusion, or one whose spine, cross-section or scale
// holds values that are no numbers, draws nothing, has an empty box and
// says so in the render area's error report. Degenerate spines, sections
// and rotations have the results ExtrusionSweep.h gives.
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/model/Box3f.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/ExtrusionSweep.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/GeometryList.h"
#include "scene/nodes/ProblemNote.h"
#include "scene/nodes/ValueWatch.h"

#include <cstdint>
#include <string>

class CVExtrusion : public CVGeometry {
    LUMO_DECLARE_NODE(CVExtrusion)

public:
    static constexpr std::int64_t kMaxPoints = 4194304;

    CVExtrusion();

    CVSFBool beginCap;
    CVSFBool ccw;
    // FALSE: the caps go through the polygon tessellator.
    CVSFBool convex;
    // Side faces meeting at less than this angle (radians) are smoothed
    // across the cross-section and (see spineCreaseAngle) across the spine.
    CVSFFloat creaseAngle;
    // Empty until drawn (or measured): then the square (-1, 1) (1, 1)
    // (1, -1) (-1, -1) (-1, 1), which stays in the field.
    CVMFVec2f crossSection;
    CVSFBool endCap;
    CVMFRotation orientation;
    CVMFVec2f scale;
    CVSFBool solid;
    CVMFVec3f spine;

    // Set by program code only: the width of lines and points in wire
    // drawing, and for a geometry with the library's own texture mapping the
    // crease angle across the spine steps (else creaseAngle applies).
    CVSFFloat lineWidth;
    CVSFFloat spineCreaseAngle;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The box of the swept points; empty when nothing is swept.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // A CVExtrusionDetail, whatever the name.
    CVDetail* GetPickDetail(unsigned int name) override;
    // Why the extrusion draws nothing; empty when it draws (or has fewer
    // than two spine or cross-section points, which is no fault).
    std::wstring GetProblem() const;

private:
    void FillDefaultCrossSection();
    lumo::extrusion::SweepInput Input() const;
    void CheckInputs();
    // The sides and caps, as the display list records them.
    void Draw(const lumo::extrusion::Sweep& sweep);

    CVGeometryList mList;
    CVValueWatch mWatch;
    std::uint64_t mGeneration = 0;
    std::uint64_t mListGeneration = ~std::uint64_t(0);
    std::uint64_t mBoxGeneration = ~std::uint64_t(0);
    CVBox3f mBox;
    CVProblemNote mProblemNote;
};

class CVExtrusionDetail : public CVDetail {
    LUMO_DECLARE_CLASS(CVExtrusionDetail)

public:
    explicit CVExtrusionDetail(CVExtrusion* geometry) : mGeometry(geometry) {}
    CVExtrusion* GetGeometry() const { return mGeometry.get(); }

private:
    CVRefPtr<CVExtrusion> mGeometry; // held: a detail outlives the pick that made it
};
