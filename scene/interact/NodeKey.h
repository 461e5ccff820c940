// Where a node sat in a scene, kept without pointing into it: the positions
// of each step from an anchor node down (among the nodes each node holds, in
// field order) and the node's name. Records that must outlive their scene
// (selections, undo snapshots) keep one instead of pointers, and find their
// node again in the scene that replaces it.
#pragma once

#include "scene/core/Node.h"

#include <string>
#include <vector>

struct CVNodeKey {
    std::vector<int> steps;
    std::wstring name;
    bool valid = false;
};

namespace lumo {

// The key of path[target] below path[anchor]; without a way down (a step
// not held by the node above it, anchor after target) the key carries the
// node's name only. Nothing is kept of the path itself.
CVNodeKey MakeNodeKey(const CVNodePath& path, std::size_t anchor, std::size_t target);

// The path from root to the node the key names: the first node of the
// key's name found below root (depth first), else the node its steps lead
// to from root. Empty when neither finds one. At most kMaxKeySteps steps are followed and kMaxSearchNodes
// nodes looked at.
constexpr std::size_t kMaxKeySteps = 10000;
constexpr std::size_t kMaxSearchNodes = 1000000;
CVNodePath ResolveNodeKey(CVNode* root, const CVNodeKey& key);

} // namespace lumo
