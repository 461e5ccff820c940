#include "scene/nodes/Coordinate.h"

LUMO_IMPLEMENT_NODE(CVCoordinate, CVNode)

void CVCoordinate::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVCoordinate>(L"Coordinate").Field(L"point", &CVCoordinate::point);
}
