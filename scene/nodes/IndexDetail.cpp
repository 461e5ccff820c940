#include "scene/nodes/IndexDetail.h"

#include <cstddef>

LUMO_IMPLEMENT_CLASS(CVIndexDetail, CVDetail)

CVPointInfo CVIndexDetail::GetPoint(int i) const
{
    if (i < 0 || i >= GetNumPoints())
        return CVPointInfo();
    return mPoints[std::size_t(i)];
}
