// A group that turns its local frame towards the viewer about an axis (or
// fully, for a zero axis).
#pragma once

#include "scene/nodes/Group.h"

class CVBillboard : public CVGroup {
    LUMO_DECLARE_NODE(CVBillboard)

public:
    CVBillboard();

    CVSFVec3f axisOfRotation;

    // The transform walk, without the selectable test.
    void Traverse(CVAction* action, const CVNodePath* path, int index) override;
    void Render(CVState* state, CVGLRenderArea* area) override;
};
