// Title and free-form information about the world, kept for readers of the scene.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"

class CVWorldInfo : public CVChild {
    LUMO_DECLARE_NODE(CVWorldInfo)

public:
    CVMFString info;
    CVSFString title;
};
