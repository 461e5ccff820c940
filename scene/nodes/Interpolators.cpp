#include "scene/nodes/Interpolators.h"

LUMO_IMPLEMENT_NODE(CVColorInterpolator, CVChild)
LUMO_IMPLEMENT_NODE(CVCoordinateInterpolator, CVChild)

void CVColorInterpolator::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVColorInterpolator>(L"ColorInterpolator")
        .Field(L"key", &CVColorInterpolator::key)
        .Field(L"keyValue", &CVColorInterpolator::keyValue);
}

void CVCoordinateInterpolator::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVCoordinateInterpolator>(L"CoordinateInterpolator")
        .Field(L"key", &CVCoordinateInterpolator::key)
        .Field(L"keyValue", &CVCoordinateInterpolator::keyValue);
}
