#include "scene/nodes/GridLevels.h"

#include <algorithm>
#include <cmath>

namespace lumo::grid {

Levels::Levels(const float* keys, int numKeys, const RGBAColorStruct* colours, int numColours)
{
    const int n = std::min({numKeys, numColours, kMaxLevels});
    for (int k = 0; k < n; ++k) {
        if (!std::isfinite(keys[k]) || (!mHeights.empty() && !(keys[k] > mHeights.back())))
            continue;
        mHeights.push_back(keys[k]);
        mColours.push_back(colours[k]);
        mKeys.push_back(k);
    }
}

int Levels::Band(float h) const
{
    return int(std::upper_bound(mHeights.begin(), mHeights.end(), h) - mHeights.begin());
}

bool Levels::ColourOf(float h, RGBAColorStruct& out) const
{
    if (mHeights.empty())
        return false;
    out = mColours[size_t(std::min(Band(h), Count() - 1))];
    return true;
}

} // namespace lumo::grid
