// Elects the closest of a pick's hits: the nearest by minimum depth (the
// smaller maximum depth breaks a tie, a later hit wins a full tie), except
// that a hit under a group drawn on top wins over any depth, and hits under
// a deferred group are elected only when nothing else was.
#pragma once

#include <cstdint>

class CVPickElection {
public:
    // What a hit inherits from the groups above it.
    enum Rule : std::uint8_t {
        RULE_NONE = 0,
        RULE_EXCLUDED = 1, // under a deferred group: elected only when alone
        RULE_OVERRIDE = 2, // under a group drawn on top: the last one wins
    };

    // Offers hit 'index' (hits come in increasing index order).
    void Offer(int index, std::uint32_t minDepth, std::uint32_t maxDepth, std::uint8_t rules);
    // The index of the closest hit, -1 when none was offered.
    int Closest() const;

private:
    std::uint32_t mBestMin = 0xFFFFFFFFu;
    std::uint32_t mBestMax = 0xFFFFFFFFu;
    int mClosest = -1;
    int mFallback = -1;
    int mOverride = -1;
};
