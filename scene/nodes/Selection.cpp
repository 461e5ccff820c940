#include "scene/nodes/Selection.h"

#include <algorithm>

LUMO_IMPLEMENT_CLASS(CVSelection, CVNode)

void CVSelection::AddSelectionCallback(CVSelectionCallback callback, void* userData)
{
    if (callback)
        mCallbacks.emplace_back(callback, userData);
}

void CVSelection::RemoveSelectionCallback(CVSelectionCallback callback, void* userData)
{
    const std::pair<CVSelectionCallback, void*> pair(callback, userData);
    mCallbacks.erase(std::remove(mCallbacks.begin(), mCallbacks.end(), pair), mCallbacks.end());
}

void CVSelection::InvokeSelectionCallbacks(const std::vector<CVNodePath>& paths) const
{
    auto callbacks = mCallbacks;
    for (const auto& [callback, userData] : callbacks)
        callback(userData, paths);
}
