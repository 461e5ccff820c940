// Normal vectors for the faces or vertices of a face set.
#pragma once

#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"

class CVNormal : public CVNode {
    LUMO_DECLARE_NODE(CVNormal)

public:
    CVMFVec3f vector;
};
