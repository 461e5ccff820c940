// Pairs a geometry with an appearance; the one place geometry is drawn. It
// decides whether to draw now, queue itself for a later pass, cast a drop
// shadow or add a selection highlight.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Geometry.h"

class CVShape : public CVChild {
    LUMO_DECLARE_NODE(CVShape)

public:
    CVSFNode<CVAppearance> appearance{this};
    CVSFNode<CVGeometry> geometry{this};

    void Render(CVState* state, CVGLRenderArea* area) override;
    // The geometry's box; untouched without geometry.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    CVDetail* GetPickDetail(unsigned int name) override;

private:
    // Queues the shape for a later pass when its geometry needs sorting;
    // true when it was queued and must not draw now.
    bool Deferred(CVState* state, CVGLRenderArea* area, CVGeometry* g);
    void DrawShadow(CVState* state, CVGLRenderArea* area, CVGeometry* g);
    void Draw(CVState* state, CVGLRenderArea* area, CVGeometry* g);
    void DrawHighlight(CVState* state, CVGLRenderArea* area, CVGeometry* g);
};
