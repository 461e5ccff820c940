#include "scene/nodes/WorldInfo.h"

LUMO_IMPLEMENT_NODE(CVWorldInfo, CVChild)

void CVWorldInfo::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVWorldInfo>(L"WorldInfo")
        .Field(L"info", &CVWorldInfo::info)
        .Field(L"title", &CVWorldInfo::title);
}
