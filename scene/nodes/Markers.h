// The marker symbols: heart, spade, club, star, hexagon, prism, flag and
// cross (extruded outlines), the flat disc, and two internal variants, the
// diamond (a box turned 45 degrees about z) and the X (a cross turned
// likewise). Program code makes them; documents cannot (a document element
// of one of these names is skipped, and a saved shape holding one is
// written without its geometry).
#pragma once

#include "scene/nodes/Box.h"
#include "scene/nodes/Marker.h"

#define LUMO_MARKER_COMMON(name)                  \
    LUMO_DECLARE_NODE(name)                       \
                                                  \
public:                                           \
    name();                                       \
    CVMarkerShape& GetShape() const override;

// Two lobes at -z, tip at +z; in (x, z), extruded along y.
class CVHeart : public CVMarker {
    LUMO_MARKER_COMMON(CVHeart)
};

// A pointed blade at -z with a stem at +z; in (x, z), extruded along y.
class CVSpade : public CVMarker {
    LUMO_MARKER_COMMON(CVSpade)
};

// Three round leaves on a stem at +z; in (x, z), extruded along y.
class CVClub : public CVMarker {
    LUMO_MARKER_COMMON(CVClub)
};

// Five points (radius 0.5) between five notches (radius 0.25); in (x, z).
class CVStar : public CVMarker {
    LUMO_MARKER_COMMON(CVStar)
protected:
    bool StretchesWallTexture() const override { return true; }
};

class CVHexagon : public CVMarker {
    LUMO_MARKER_COMMON(CVHexagon)
protected:
    bool StretchesWallTexture() const override { return true; }
};

// A triangle with its point at +z; in (x, z), extruded along y.
class CVPrism : public CVMarker {
    LUMO_MARKER_COMMON(CVPrism)
protected:
    bool StretchesWallTexture() const override { return true; }
};

// A pennant pointing to +x; in (x, z), extruded along y.
class CVFlag : public CVMarker {
    LUMO_MARKER_COMMON(CVFlag)
};

// A plus sign with arms a third as wide as the whole; in (x, y), extruded
// along z, so it faces the viewer without turning.
class CVCross : public CVMarker {
    LUMO_MARKER_COMMON(CVCross)
};

// A hexagon flat in the (x, y) plane at z = 0, drawn from both sides.
class CVDisc : public CVMarker {
    LUMO_MARKER_COMMON(CVDisc)
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
};

#undef LUMO_MARKER_COMMON

// The cross turned 45 degrees about z.
class CVXShape : public CVCross {
    LUMO_DECLARE_CLASS(CVXShape)

public:
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The box of the turned shape.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
};

// A box turned 45 degrees about z.
class CVDiamond : public CVBox {
    LUMO_DECLARE_CLASS(CVDiamond)

public:
    CVDiamond();
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The box of the turned box, from the magnitudes of size.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
};
