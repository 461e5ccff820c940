#include "scene/core/Node.h"

#include "scene/core/Action.h"
#include "scene/core/Child.h"
#include "scene/core/Graph.h"

#include <atomic>
#include <stdexcept>

LUMO_IMPLEMENT_CLASS(CVNode, CVRefCount)
LUMO_IMPLEMENT_CLASS(CVChild, CVNode)

namespace {

// Constructed on first use so that start-up code in any translation unit
// finds it ready.
std::vector<CVNode::NameMap>& NameStack()
{
    static std::vector<CVNode::NameMap> stack;
    return stack;
}

} // namespace

std::recursive_mutex& lumo::NameSpaceMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

CVNode::~CVNode()
{
    // Every space forgets the node, not only the top one, so that no map is
    // left pointing at freed memory once the spaces above are popped.
    if (mName) {
        std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
        for (NameMap& space : NameStack())
            RemoveNameEntry(space);
    }
}

void CVNode::RemoveNameEntry(NameMap& space)
{
    // Only this node's own entry goes: a later node may have taken the name.
    auto it = space.find(*mName);
    if (it != space.end() && it->second == this)
        space.erase(it);
}

void CVNode::SetName(const std::wstring& name)
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    NameMap& top = TopNameSpace();
    if (mName)
        RemoveNameEntry(top);
    mName = std::make_unique<std::wstring>(name);
    top[name] = this;
}

CVField* CVNode::GetField(const wchar_t*) { return nullptr; }

void CVNode::Traverse(CVAction* action, const CVNodePath*, int)
{
    action->PreActOn(this);
    action->PostActOn(this);
}

void CVNode::Render(CVState*, CVGLRenderArea*) {}

void CVNode::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f*) {}

int CVNode::IsValid(std::wstring&) { return 1; }

CVDetail* CVNode::GetPickDetail(unsigned int) { return nullptr; }

void CVNode::Init()
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    NameStack().clear();
    PushNameSpace();
}

void CVNode::UnInit()
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    PopNameSpace();
    NameStack().shrink_to_fit();
}

void CVNode::PushNameSpace()
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    NameStack().emplace_back();
}

void CVNode::PopNameSpace()
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    auto& stack = NameStack();
    if (stack.empty())
        throw std::out_of_range("no node name space is open");
    stack.pop_back();
}

CVNode::NameMap& CVNode::TopNameSpace()
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    auto& stack = NameStack();
    if (stack.empty())
        throw std::out_of_range("no node name space is open");
    return stack.back();
}

int CVNode::NameSpaceDepth()
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    return int(NameStack().size()) - 1;
}

CVNode* CVNode::NameToNode(const std::wstring& name)
{
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    NameMap& top = TopNameSpace();
    auto it = top.find(name);
    return it == top.end() ? nullptr : it->second;
}

bool CVNode::HoldsNoNodes() const
{
    for (const CVNodeHolder* h = mHolders; h; h = h->NextHolder())
        for (int i = 0, n = h->HeldCount(); i < n; ++i)
            if (h->HeldAt(i))
                return false;
    return true;
}

std::uint64_t CVNode::NewWalkMark()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

CVNodeHolder::CVNodeHolder(CVNode* container) : mContainer(container)
{
    if (container) {
        mNext = container->mHolders;
        container->mHolders = this;
    }
}

CVNodeHolder::~CVNodeHolder()
{
    if (!mContainer)
        return;
    for (CVNodeHolder** p = &mContainer->mHolders; *p; p = &(*p)->mNext)
        if (*p == this) {
            *p = mNext;
            break;
        }
}

bool CVNodeHolder::WouldCloseCycle(const CVNode* node) const
{
    if (!mContainer || !node)
        return false;
    if (node == mContainer)
        return true;
    return !node->HoldsNoNodes() && lumo::graph::Reaches(node, mContainer);
}
