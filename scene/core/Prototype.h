// Reserves the interface of user-defined node types, which the reader does
// not support: every operation is inert.
#pragma once

#include "scene/core/NodeType.h"

#include <string>

class CVPrototype : public CVNodeType {
public:
    explicit CVPrototype(const wchar_t* name);
    ~CVPrototype() override;

    // The node type it holds, deleted with the prototype.
    CVNodeType* GetNodeType() const { return mNodeType; }

    using CVNodeType::AddField;
    using CVNodeType::GetField;
    void AddField(std::wstring&, int) {}
    void AddNode(CVNode*) {}
    CVField* GetField(std::wstring&) { return nullptr; }
    CVField* NameToField(std::wstring&) { return nullptr; }

private:
    CVNodeType* mNodeType;
};
