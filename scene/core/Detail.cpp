#include "scene/core/Detail.h"

LUMO_IMPLEMENT_CLASS(CVDetail, CVBase)
