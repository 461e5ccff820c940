#include "scene/nodes/TextureCoordinate.h"

LUMO_IMPLEMENT_NODE(CVTextureCoordinate, CVNode)

void CVTextureCoordinate::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVTextureCoordinate>(L"TextureCoordinate").Field(L"point", &CVTextureCoordinate::point);
}
