// Key and value tables of colours and of coordinates. The library keeps
// them, reads and writes them, and does not evaluate them.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"

class CVColorInterpolator : public CVChild {
    LUMO_DECLARE_NODE(CVColorInterpolator)

public:
    CVMFFloat key;
    CVMFColor keyValue;
};

class CVCoordinateInterpolator : public CVChild {
    LUMO_DECLARE_NODE(CVCoordinateInterpolator)

public:
    CVMFFloat key;
    CVMFVec3f keyValue;
};
