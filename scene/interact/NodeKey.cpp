#include "scene/interact/NodeKey.h"

namespace lumo {

namespace {

int HeldIndex(const CVNode* parent, const CVNode* child)
{
    int index = 0, found = -1;
    parent->ForEachHeldNode([&](CVNode* node) {
        if (found < 0 && node == child)
            found = index;
        ++index;
    });
    return found;
}

CVNode* HeldAt(const CVNode* parent, int wanted)
{
    int index = 0;
    CVNode* found = nullptr;
    parent->ForEachHeldNode([&](CVNode* node) {
        if (index++ == wanted)
            found = node;
    });
    return found;
}

bool HasName(const CVNode* node, const std::wstring& name)
{
    const std::wstring* own = node->GetName();
    return own && *own == name;
}

// Depth first, each node once; the path to the first node of that name.
CVNodePath FindNamed(CVNode* root, const std::wstring& name)
{
    struct Frame {
        CVNode* node;
        std::vector<CVNode*> held;
        std::size_t next;
    };
    std::uint64_t mark = CVNode::NewWalkMark();
    std::vector<Frame> stack;
    std::size_t seen = 0;
    auto enter = [&](CVNode* node) {
        node->SetMark(mark);
        ++seen;
        Frame f{node, {}, 0};
        node->ForEachHeldNode([&](CVNode* n) { f.held.push_back(n); });
        stack.push_back(std::move(f));
    };
    enter(root);
    while (!stack.empty()) {
        if (HasName(stack.back().node, name)) {
            CVNodePath path;
            for (const Frame& f : stack)
                path.push_back(f.node);
            return path;
        }
        Frame& top = stack.back();
        if (top.next >= top.held.size() || seen >= kMaxSearchNodes) {
            stack.pop_back();
            continue;
        }
        CVNode* child = top.held[top.next++];
        if (!child->IsMarked(mark))
            enter(child);
    }
    return {};
}

} // namespace

CVNodeKey MakeNodeKey(const CVNodePath& path, std::size_t anchor, std::size_t target)
{
    CVNodeKey key;
    if (target >= path.size() || !path[target])
        return key;
    key.valid = true;
    if (const std::wstring* name = path[target]->GetName())
        key.name = *name;
    if (anchor > target)
        return key;
    for (std::size_t i = anchor + 1; i <= target; ++i) {
        int index = path[i - 1] ? HeldIndex(path[i - 1], path[i]) : -1;
        if (index < 0) {
            key.steps.clear();
            key.valid = !key.name.empty();
            return key;
        }
        key.steps.push_back(index);
    }
    return key;
}

CVNodePath ResolveNodeKey(CVNode* root, const CVNodeKey& key)
{
    if (!root || !key.valid)
        return {};
    // A name says more than a position: a document read anew keeps its
    // names, while nodes may have moved.
    if (!key.name.empty()) {
        CVNodePath named = FindNamed(root, key.name);
        if (!named.empty())
            return named;
        if (key.steps.empty())
            return {};
    }
    if (key.steps.size() > kMaxKeySteps)
        return {};
    CVNodePath path{root};
    for (int step : key.steps) {
        CVNode* next = HeldAt(path.back(), step);
        if (!next)
            return {};
        path.push_back(next);
    }
    return path;
}

} // namespace lumo
