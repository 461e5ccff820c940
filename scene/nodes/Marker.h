// Base of the extruded marker symbols that charts put on data points and
// planograms give bodies: a unit outline extruded and scaled by size.
// Markers are made by program code; documents cannot hold them.
#pragma once

#include "scene/model/SFields.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/MarkerShape.h"

class CVMarker : public CVGeometry {
    LUMO_DECLARE_CLASS(CVMarker)

public:
    // Extent along x, y and z. A negative x draws the outline in line mode;
    // the drawing uses the magnitudes, so no component mirrors the shape.
    CVSFVec3f size;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // Centred on the origin, of extent |size|; with the marker flag an
    // outline extruded along y stands up, so its y and z extents trade places.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

    // The solid this class draws.
    virtual CVMarkerShape& GetShape() const = 0;

protected:
    CVMarker();
    // Whether the side walls keep a tiled texture's proportions (the texture
    // matrix is stretched by size.y / size.x while they are drawn).
    virtual bool StretchesWallTexture() const { return false; }
    // The extents the drawing scales by: magnitudes, with a zero made tiny
    // so that the matrix stays invertible for lighting; false for a size
    // that is not a number.
    bool DrawingScale(float scale[3]) const;
};
