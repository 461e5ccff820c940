// Base of every scene node: reference counted, optionally named (the DEF
// names of documents, kept in a stack of node-name spaces), and visited by
// actions through a small set of virtual operations.
#pragma once

#include "scene/model/RefCount.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CVAction;
class CVBox3f;
class CVDetail;
class CVField;
class CVGLRenderArea;
class CVNode;
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

protected:
    CVNode() = default;

private:
    void RemoveNameEntry(NameMap& space);

    std::unique_ptr<std::wstring> mName;
};
