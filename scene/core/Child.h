// Marks node classes that may stand in the children list of a grouping node.
#pragma once

#include "scene/core/Node.h"

class CVChild : public CVNode {
    LUMO_DECLARE_CLASS(CVChild)

protected:
    CVChild() = default;
};
