// The points that indexed geometry draws from, shared by index.
#pragma once

#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"

class CVCoordinate : public CVNode {
    LUMO_DECLARE_NODE(CVCoordinate)

public:
    CVMFVec3f point;
};
