#include "scene/interact/PickNames.h"

#include <algorithm>

std::uint32_t CVPickNames::Add(CVNode* node, std::uint32_t parent, std::uint8_t rules)
{
    if (mEntries.size() >= kMaxNames)
        return kNoName;
    mEntries.push_back({node, parent, rules});
    return std::uint32_t(mEntries.size() - 1);
}

std::vector<CVNode*> CVPickNames::PathTo(std::uint32_t name) const
{
    std::vector<CVNode*> path;
    // Each entry's parent was named before it, so the walk up always ends.
    for (std::uint32_t n = name; IsName(n); n = mEntries[n].parent) {
        path.push_back(mEntries[n].node);
        if (mEntries[n].parent >= n)
            break;
    }
    std::reverse(path.begin(), path.end());
    return path;
}
