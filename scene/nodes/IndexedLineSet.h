// Polylines through a shared coordinate list (-1 ends a polyline), unlit,
// in the material's emissive colour or coloured per polyline or per vertex,
// with a width, a stipple style and optional round joints. Drawn directly
// every frame (no display list); picking draws each polyline under its
// polyline number.
//
// Bounds: see CVIndexedSet; colour indices are checked against the colour
// list (a colour that is out of range is not sent: the vertex or polyline
// keeps the colour before it). lineWidth is taken as 1 when it is not a
// positive number; lineStyle outside 2 .. 46 draws solid lines.
#pragma once

#include "scene/nodes/IndexDetail.h"
#include "scene/nodes/IndexedSet.h"

class CVIndexedLineSet : public CVIndexedSet {
    LUMO_DECLARE_NODE(CVIndexedLineSet)

public:
    CVIndexedLineSet();

    // Also document attributes (after the indexed-set fields), so that a
    // saved scene keeps its line styles.
    CVSFFloat lineWidth;
    // 0 and 1 solid; 2 .. 46 stipple patterns (StipplePattern).
    CVSFInt32 lineStyle;
    // Draws every vertex as a point too (round joints).
    CVSFBool showPoints;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // A CVIndexedLineSetDetail for polyline number 'name'.
    CVDetail* GetPickDetail(unsigned int name) override;

    // The stipple factor and 16-bit pattern of a line style; false for the
    // solid styles (outside 2 .. 46).
    static bool StipplePattern(int style, int& factor, unsigned short& pattern);

protected:
    // Wide lines coloured per polyline are drawn flat-shaded (on) and back
    // to smooth shading (off), so that a strip keeps one colour.
    void WorkAroundOpenGLBug(int on);

private:
    // The usable vertices of a polyline (coordinate in range, finite point).
    bool Usable(int k) const;
    void DrawWithColours(bool joints);
    void DrawFromArray();
    void Pick();
    void SendColour(int colourIndex) const;
    float mWidth = 1.0f;
};

class CVIndexedLineSetDetail : public CVIndexDetail {
    LUMO_DECLARE_CLASS(CVIndexedLineSetDetail)

public:
    CVIndexedLineSetDetail(int index, CVIndexedLineSet* geometry) : CVIndexDetail(index), mGeometry(geometry) {}
    // Not referenced: valid while the scene is unchanged.
    CVIndexedLineSet* GetGeometry() const { return mGeometry; }
    // One point per index of the polyline: its position in coordIndex.
    void ComputeDetails() override;

private:
    CVIndexedLineSet* mGeometry;
};
