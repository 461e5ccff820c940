#include "scene/core/Graph.h"

#include "scene/core/Node.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace lumo::graph {

bool Reaches(const CVNode* from, const CVNode* target)
{
    if (!from || !target)
        return false;
    const std::uint64_t mark = CVNode::NewWalkMark();
    std::vector<const CVNode*> pending{from};
    from->SetMark(mark);
    while (!pending.empty()) {
        const CVNode* node = pending.back();
        pending.pop_back();
        if (node == target)
            return true;
        node->ForEachHeldNode([&](CVNode* child) {
            if (!child->IsMarked(mark)) {
                child->SetMark(mark);
                pending.push_back(child);
            }
        });
    }
    return false;
}

namespace {

struct Info {
    std::size_t depth = 0;
    std::uint64_t instances = 0;
    bool done = false;
};

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b)
{
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

} // namespace

Extent Measure(const CVNode* root)
{
    Extent extent;
    if (!root)
        return extent;
    // Post-order over the distinct nodes: a frame is expanded once (its
    // children pushed), then finished when it comes back to the top.
    std::unordered_map<const CVNode*, Info> info;
    struct Frame {
        const CVNode* node;
        bool expanded;
    };
    std::vector<Frame> stack{{root, false}};
    std::vector<CVNode*> children;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const CVNode* node = frame.node;
        if (!frame.expanded) {
            auto [it, fresh] = info.try_emplace(node);
            if (!fresh) {
                stack.pop_back();
                if (!it->second.done) { // met again while open: a cycle
                    extent.depth = kCyclic;
                    return extent;
                }
                continue;
            }
            frame.expanded = true;
            children.clear();
            node->ForEachHeldNode([&](CVNode* child) { children.push_back(child); });
            for (CVNode* child : children) {
                auto found = info.find(child);
                if (found != info.end() && !found->second.done) {
                    extent.depth = kCyclic;
                    return extent;
                }
                if (found == info.end())
                    stack.push_back({child, false});
            }
            continue;
        }
        Info result;
        result.instances = 1;
        node->ForEachHeldNode([&](CVNode* child) {
            const Info& c = info[child];
            result.depth = std::max(result.depth, c.depth);
            result.instances = SaturatingAdd(result.instances, c.instances);
        });
        result.depth += 1;
        result.done = true;
        info[node] = result;
        stack.pop_back();
    }
    const Info& top = info[root];
    extent.depth = top.depth;
    extent.instances = top.instances;
    extent.nodes = info.size();
    return extent;
}

std::unordered_map<const CVNode*, int> CountHolders(const CVNode* root)
{
    std::unordered_map<const CVNode*, int> holders;
    if (!root)
        return holders;
    const std::uint64_t mark = CVNode::NewWalkMark();
    std::vector<const CVNode*> pending{root};
    root->SetMark(mark);
    while (!pending.empty()) {
        const CVNode* node = pending.back();
        pending.pop_back();
        node->ForEachHeldNode([&](CVNode* child) {
            ++holders[child];
            if (!child->IsMarked(mark)) {
                child->SetMark(mark);
                pending.push_back(child);
            }
        });
    }
    return holders;
}

} // namespace lumo::graph
