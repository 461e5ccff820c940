#include "scene/nodes/Normal.h"

LUMO_IMPLEMENT_NODE(CVNormal, CVNode)

void CVNormal::AddToTypeNameSpace() { CVNodeTypeBuilder<CVNormal>(L"Normal").Field(L"vector", &CVNormal::vector); }
