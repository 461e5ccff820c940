#include "scene/nodes/Anchor.h"

LUMO_IMPLEMENT_NODE(CVAnchor, CVGroup)

void CVAnchor::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVAnchor>(L"Anchor")
        .Field(L"children", &CVAnchor::children)
        .Field(L"description", &CVAnchor::description)
        .Field(L"parameter", &CVAnchor::parameter)
        .Field(L"url", &CVAnchor::url)
        .Field(L"bboxCenter", &CVAnchor::bboxCenter)
        .Field(L"bboxSize", &CVAnchor::bboxSize);
}
