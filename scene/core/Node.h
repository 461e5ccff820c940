// Base of every scene node: reference counted, optionally named (the DEF
// names of documents, kept in a stack of node-name spaces), and visited by
// actions through a small set of virtual operations.
#pragma once

#include "scene/model/RefCount.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class CVAction;
class CVBox3f;
class CVDetail;
class CVField;
class CVGLRenderArea;
class CVNode;
class CVNodeHolder;
class CVNodeType;
class CVState;

// An ordered list of nodes from a root down to a node.
using CVNodePath = std::vector<CVNode*>;

class CVNode : public CVRefCount {
    LUMO_DECLARE_CLASS(CVNode)

public:
    using NameMap = std::unordered_map<std::wstring, CVNode*>;

    ~CVNode() override;

    // Names the node in the top name space, replacing any node entered under
    // that name before (the displaced node keeps its stored name).
    void SetName(const std::wstring& name);
    // The node's name, or null while it has none.
    const std::wstring* GetName() const { return mName.get(); }

    // The field of that name (ignoring case), or null.
    virtual CVField* GetField(const wchar_t* name);
    virtual void Traverse(CVAction* action, const CVNodePath* path, int index);
    virtual void Render(CVState* state, CVGLRenderArea* area);
    virtual void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box);
    // 1 when the field values are usable; otherwise 0 and a message.
    virtual int IsValid(std::wstring& message);
    virtual CVDetail* GetPickDetail(unsigned int part);

    // Node-name spaces. Using them while none is open (before Init, after
    // UnInit) throws std::out_of_range.
    static void Init();
    static void UnInit();
    static void PushNameSpace();
    static void PopNameSpace();
    static NameMap& TopNameSpace();
    static int NameSpaceDepth();
    // Looks in the top name space only.
    static CVNode* NameToNode(const std::wstring& name);

    // Calls f(node) for every node this node holds in its node-valued
    // fields (nulls skipped; a node held twice is visited twice), so that
    // graph walks need not know node classes.
    template <class F>
    void ForEachHeldNode(F&& f) const;
    // True when this node holds no node at all.
    bool HoldsNoNodes() const;

    // Marks for graph walks: a walk takes a fresh mark and marks the nodes
    // it has seen, so that shared nodes are visited once without a set.
    static std::uint64_t NewWalkMark();
    bool IsMarked(std::uint64_t mark) const { return mWalkMark == mark; }
    void SetMark(std::uint64_t mark) const { mWalkMark = mark; }

protected:
    CVNode() = default;

private:
    friend class CVNodeHolder;
    void RemoveNameEntry(NameMap& space);

    std::unique_ptr<std::wstring> mName;
    CVNodeHolder* mHolders = nullptr; // this node's node-valued fields
    mutable std::uint64_t mWalkMark = 0;
};

namespace lumo {
// The lock of the process-wide node-name and node-type spaces. Their
// operations take it; the reader holds it while it reads a document, so
// that documents may be read, and scenes released, on several threads.
std::recursive_mutex& NameSpaceMutex();
} // namespace lumo

// What every node-valued field is besides a field: the nodes it holds, and
// its place in its container node's list of node-valued fields. A holder
// with a container refuses to store a node that would make the container
// its own descendant.
class CVNodeHolder {
public:
    CVNodeHolder(const CVNodeHolder&) = delete;
    CVNodeHolder& operator=(const CVNodeHolder&) = delete;

    virtual int HeldCount() const = 0;
    // The node at index (may be null).
    virtual CVNode* HeldAt(int index) const = 0;
    CVNode* GetHolderContainer() const { return mContainer; }
    CVNodeHolder* NextHolder() const { return mNext; }

    // Whether storing node here would close a cycle: the node is the
    // container, or the container can be reached from the node.
    bool WouldCloseCycle(const CVNode* node) const;

protected:
    // Joins the container's list; a null container holds nodes without any
    // cycle check (a field on its own, not part of a node).
    explicit CVNodeHolder(CVNode* container);
    ~CVNodeHolder();

private:
    CVNode* mContainer;
    CVNodeHolder* mNext = nullptr;
};

template <class F>
void CVNode::ForEachHeldNode(F&& f) const
{
    for (const CVNodeHolder* h = mHolders; h; h = h->NextHolder())
        for (int i = 0, n = h->HeldCount(); i < n; ++i)
            if (CVNode* node = h->HeldAt(i))
                f(node);
}
