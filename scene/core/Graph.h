// Walks over the node graph through node-valued fields, without recursion,
// so that a deep graph costs no stack: reachability, the extent of a graph
// (its depth and how many nodes it expands to when every shared node is
// counted once per place), and how many places hold each node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

class CVNode;

namespace lumo::graph {

// Whether target can be reached from 'from' (a node reaches itself).
bool Reaches(const CVNode* from, const CVNode* target);

struct Extent {
    // Nodes on the longest path down from the root (the root alone: 1);
    // kCyclic when the graph has a cycle.
    std::size_t depth = 0;
    // Nodes of the graph with every shared node counted once per path to
    // it; saturates at UINT64_MAX.
    std::uint64_t instances = 0;
    // Distinct nodes.
    std::size_t nodes = 0;
};
constexpr std::size_t kCyclic = SIZE_MAX;

Extent Measure(const CVNode* root);

// For every node reachable from root, how many field places inside the
// graph hold it (the root counts only the places that hold it inside).
std::unordered_map<const CVNode*, int> CountHolders(const CVNode* root);

} // namespace lumo::graph
