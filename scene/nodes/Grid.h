// Grid lines across the whole window: vertical lines at every multiple of
// one spacing and horizontal lines at every multiple of the other, in the
// current coordinate system, drawn over the scene without depth testing.
// Made by program code; not a document element.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Geometry.h"

class CVGrid : public CVGeometry {
    LUMO_DECLARE_NODE(CVGrid)

public:
    // At most this many lines in either direction; a spacing that would
    // need more draws no lines in that direction (they would fill the
    // window anyway).
    static constexpr int kMaxLines = 4096;

    CVGrid();

    // A colour node: the first colour of its "color" list draws the lines
    // (without one the current colour does).
    CVSFNode<CVNode> color{this};
    // Spacing of the vertical lines (along x) and of the horizontal lines
    // (along y); 0, negative or not a number: no lines that way.
    CVSFFloat xSpacing;
    CVSFFloat ySpacing;
    // 0 (or negative): nothing is drawn.
    CVSFFloat lineWidth;
    // 3 to 47: dashed lines.
    CVSFInt32 stipple;

    // Nothing in selection mode: a backdrop is never picked.
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // Leaves the box alone: the grid fills whatever the window shows.
    void ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f*) override {}

    // The multiples k of spacing with lo <= k x spacing <= hi; false (and
    // none) for a spacing that is not positive and finite, a range that is
    // not finite, or more than kMaxLines lines.
    static bool LineRange(double lo, double hi, double spacing, long long& first, long long& last);
};
