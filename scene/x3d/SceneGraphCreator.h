// Builds scene nodes from the document walk: one node per element named like
// a registered node type, one field per attribute named like a field, and
// nesting linked through the outer node's node-valued fields.
#pragma once

#include "scene/x3d/XMLCreator.h"

#include <vector>

class CVField;
class CVGroup;
class CVNode;
class CVNodeType;

class CVSceneGraphCreator : public CVXMLCreator {
public:
    // Pushes a type name space for the parse; the destructor pops it.
    explicit CVSceneGraphCreator(CVGroup* root);
    ~CVSceneGraphCreator() override;
    CVSceneGraphCreator(const CVSceneGraphCreator&) = delete;
    CVSceneGraphCreator& operator=(const CVSceneGraphCreator&) = delete;

    void SetDEF(const std::wstring& name) override;
    int UseNode(const std::wstring& name, const std::wstring& element) override;
    int BeginElement(const std::wstring& name) override;
    void EndElement(const std::wstring& name) override;
    int BeginField(const std::wstring& name) override;
    void EndField() override;
    void SetFieldValue(const std::wstring& text) override;

    // The escapes of quoted strings: \\ then \" then \'.
    static std::wstring Unescape(const std::wstring& text);
    // Appends the values of a list attribute to a multi-valued field.
    static void AddListValues(CVField* field, int type, const std::wstring& text);
    // Appends the strings of a string-list attribute.
    static void AddStringList(CVField* field, const std::wstring& text);

private:
    struct Record {
        const CVNodeType* type;
        CVField* field;
        CVNode* node;
    };

    // Links a node into the scene; false when it is rejected.
    bool Place(CVNode* node, const std::wstring& element);

    CVGroup* mRoot;
    std::vector<Record> mStack;
    int mFieldType = 0;
    CVField* mField = nullptr;
};
