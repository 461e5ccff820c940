#include "scene/interact/PickElection.h"

void CVPickElection::Offer(int index, std::uint32_t minDepth, std::uint32_t maxDepth, std::uint8_t rules)
{
    if (rules & RULE_OVERRIDE)
        mOverride = index;
    if (rules & RULE_EXCLUDED) {
        mFallback = index;
        return;
    }
    if (minDepth < mBestMin || (minDepth == mBestMin && maxDepth <= mBestMax)) {
        mClosest = index;
        mBestMin = minDepth;
        mBestMax = maxDepth;
    }
}

int CVPickElection::Closest() const
{
    if (mOverride >= 0)
        return mOverride;
    if (mClosest < 0)
        return mFallback;
    return mClosest;
}
