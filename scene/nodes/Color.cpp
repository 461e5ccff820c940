#include "scene/nodes/Color.h"

#include <cmath>

LUMO_IMPLEMENT_NODE(CVColor, CVNode)

void CVColor::AddToTypeNameSpace() { CVNodeTypeBuilder<CVColor>(L"Color").Field(L"color", &CVColor::color); }

float CVColor::Gradient(const RGBColorStruct& a, const RGBColorStruct& b)
{
    return std::fabs(a.green - b.green) + std::fabs(a.red - b.red) + std::fabs(a.blue - b.blue);
}
