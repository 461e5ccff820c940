// Builds scene nodes from the document walk: one node per element named like
// a registered node type, one field per attribute named like a field, and
// nesting linked through the outer node's node-valued fields. It keeps the
// scene within the reader's bounds and notes what it skipped or dropped.
#pragma once

#include "scene/x3d/XMLCreator.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class CVField;
class CVGroup;
class CVNode;
class CVNodeType;

class CVSceneGraphCreator : public CVXMLCreator {
public:
    // Shared nodes (USE) may add at most this many node instances to the
    // scene, a shared node counted once for every place it is reached
    // through (charts and shelf plans share a few tens of thousands); the
    // nodes a document's elements create cost document bytes and are bounded
    // by its size...
    static constexpr std::uint64_t kMaxSharedInstances = 200000;
    // ...and its scene may be at most this many nodes deep below the root,
    // through sharing as well as nesting.
    static constexpr std::size_t kMaxGraphDepth = 10000;

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
    // Number lists, read from the document's own text.
    bool SetFieldValueUtf16(const char16_t* text, std::size_t length) override;

    // Raises the parse exception when the finished scene is deeper or
    // larger than the bounds above.
    void CheckBounds() const;
    // What the walk skipped or dropped, each kind once, in first-seen order.
    std::vector<std::wstring> Messages() const;

    // The escapes of quoted strings, read left to right: a backslash takes
    // the next character as it is (\\ \" \').
    static std::wstring Unescape(const std::wstring& text);
    // Appends the values of a list attribute to a multi-valued field (an
    // attribute sets the field: the walk empties it first).
    static void AddListValues(CVField* field, int type, const std::wstring& text);
    // The same from UTF-16 text (the values are the same).
    static void AddListValues(CVField* field, int type, const char16_t* text, std::size_t length);
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
    // Counts the instances a USE adds; past the bound the parse stops.
    void CountSharedInstances(std::uint64_t count);
    void Note(const std::wstring& message);

    CVGroup* mRoot;
    std::vector<Record> mStack;
    int mFieldType = 0;
    CVField* mField = nullptr;
    std::uint64_t mCreated = 0;
    std::uint64_t mShared = 0;
    // Named nodes that no place held when their element ended: a later USE
    // may still place them; the rest go with the walk.
    std::vector<CVNode*> mUnplaced;
    std::vector<std::wstring> mMessageOrder;
    std::map<std::wstring, int> mMessageCounts;
};
