// Colours for the faces, polylines, points or vertices of indexed geometry.
#pragma once

#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"

class CVColor : public CVNode {
    LUMO_DECLARE_NODE(CVColor)

public:
    CVMFColor color;

    // How far apart two colours are: the sum of the channel differences.
    static float Gradient(const RGBColorStruct& a, const RGBColorStruct& b);
};
