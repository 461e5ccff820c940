// A node that holds selection callbacks: an ordered list of (callback, user
// data) pairs, each called with its user data and the node paths of a
// selection. Not a document element.
#pragma once

#include "scene/core/Node.h"

#include <utility>
#include <vector>

using CVSelectionCallback = void (*)(void* userData, const std::vector<CVNodePath>& paths);

class CVSelection : public CVNode {
    LUMO_DECLARE_CLASS(CVSelection)

public:
    CVSelection() = default;

    // Appends the pair (a null callback is ignored).
    void AddSelectionCallback(CVSelectionCallback callback, void* userData);
    // Removes every pair equal to this one, keeping the order of the rest.
    void RemoveSelectionCallback(CVSelectionCallback callback, void* userData);
    int GetNumSelectionCallbacks() const { return int(mCallbacks.size()); }
    // Calls the callbacks in order with the paths. The calls go to the list
    // as it was when called: a callback may add or remove callbacks.
    void InvokeSelectionCallbacks(const std::vector<CVNodePath>& paths) const;

    static void AddToTypeNameSpace() {}

private:
    std::vector<std::pair<CVSelectionCallback, void*>> mCallbacks;
};
