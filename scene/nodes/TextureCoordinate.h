// Texture coordinates for the vertices of a face set.
#pragma once

#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"

class CVTextureCoordinate : public CVNode {
    LUMO_DECLARE_NODE(CVTextureCoordinate)

public:
    CVMFVec2f point;
};
