// The node-type registry: each registered node class has a CVNodeType that
// names its element and lists its fields by name, type code and position, and
// a stack of type name spaces maps element names to node types.
#pragma once

#include "scene/model/Field.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

class CVNode;

struct CVFieldType {
    std::wstring name;
    int type = -1;
    // Byte distance of the field member from the start of the node.
    std::ptrdiff_t offset = -1;
    CVField* defaultValue = nullptr; // always null: constructors set defaults
    int reserved = 0;
};

class CVNodeType {
public:
    using TypeMap = std::unordered_map<std::wstring, CVNodeType*>;

    explicit CVNodeType(const wchar_t* name);
    virtual ~CVNodeType();
    CVNodeType(const CVNodeType&) = delete;
    CVNodeType& operator=(const CVNodeType&) = delete;

    const std::wstring& GetName() const { return mName; }

    // Type name spaces. Using them while none is open (before Init, after
    // UnInit) throws std::out_of_range.
    static void Init();
    static void UnInit();
    static void PushNameSpace();
    // Deletes every type of the top space.
    static void PopNameSpace();
    static TypeMap& TopNameSpace();
    static void DeleteNameSpaces();
    static int NameSpaceDepth();
    // Enters the type in the top space; the space owns it from then on.
    static void AddToNameSpace(CVNodeType* type);
    // Searches from the built-in space upwards, so built-in names cannot be
    // redefined.
    static const CVNodeType* Find(const wchar_t* name);

    void AddField(const wchar_t* name, int type, CVNode* instance, const CVField* field);
    // A field plus its "set_" event-in and "_changed" event-out.
    void AddExposedField(const wchar_t* name, int type, CVNode* instance, const CVField* field);
    void AddEventIn(const wchar_t* name, int type, CVNode* instance, const CVField* field);
    void AddEventOut(const wchar_t* name, int type, CVNode* instance, const CVField* field);

    // Type code of the first member with exactly that name; 0 when absent.
    int HasField(const wchar_t* name) const;
    int HasEventIn(const wchar_t* name) const;
    int HasEventOut(const wchar_t* name) const;
    int HasExposedField(const wchar_t* name) const;
    // The node's field of that name, compared ignoring case; null if absent.
    CVField* GetField(const CVNode* node, const wchar_t* name) const;
    // The record of the field with exactly that name, or null; with FieldOf,
    // one scan where HasField and GetField would make two.
    const CVFieldType* FindField(const wchar_t* name) const;
    static CVField* FieldOf(const CVNode* node, const CVFieldType& record);
    CVField* GetDefaultValue(const CVNode* node, const wchar_t* name) const;
    void InstallDefaultValues(const CVNode* node) const;
    const std::vector<CVFieldType>& GetFields() const { return mFields; }

    // A new node (reference count 0) of the built-in class with this type's
    // name; null for any other name.
    CVNode* NewInstance() const;
    // The maker of built-in nodes by element name, installed by library
    // start-up, which knows the node classes (the registry does not).
    using BuiltinFactory = CVNode* (*)(const wchar_t* name);
    static void SetBuiltinFactory(BuiltinFactory factory);
    // A new field for a type code; null for image, time and unknown codes.
    static CVField* CreateFieldFromType(int type);

    // The class static that points at this type; cleared when the type is
    // deleted, so the class stops answering field lookups instead of
    // reading a freed type.
    void SetClassSlot(CVNodeType** slot) { mClassSlot = slot; }

private:
    static int Find(const std::vector<CVFieldType>& list, const wchar_t* name);
    static void Append(std::vector<CVFieldType>& list, const std::wstring& name, int type,
                       std::ptrdiff_t offset);

    std::wstring mName;
    std::vector<CVFieldType> mEventIns;
    std::vector<CVFieldType> mEventOuts;
    std::vector<CVFieldType> mFields;
    CVNodeType** mClassSlot = nullptr;
};

// Registers a node class: creates its type in the top space and declares its
// fields from a temporary instance, which records each field's type code and
// position. Used once per class in AddToTypeNameSpace:
//     CVNodeTypeBuilder<CVGroup>(L"Group").Field(L"children", &CVGroup::children);
template <class N>
class CVNodeTypeBuilder {
public:
    explicit CVNodeTypeBuilder(const wchar_t* name) : mType(new CVNodeType(name)), mInstance(new N)
    {
        N::nodeType = mType;
        mType->SetClassSlot(&N::nodeType);
        CVNodeType::AddToNameSpace(mType);
    }
    ~CVNodeTypeBuilder() { delete mInstance; }
    CVNodeTypeBuilder(const CVNodeTypeBuilder&) = delete;
    CVNodeTypeBuilder& operator=(const CVNodeTypeBuilder&) = delete;

    template <class F, class C>
    CVNodeTypeBuilder& Field(const wchar_t* name, F C::*member)
    {
        static_assert(std::is_base_of_v<C, N>, "field of another class");
        const F& field = mInstance->*member;
        mType->AddField(name, field.GetType(), mInstance, &field);
        return *this;
    }

private:
    CVNodeType* mType;
    N* mInstance;
};

// Node class boilerplate: the run-time record, the class's node type and the
// field lookup through it. Pair with LUMO_IMPLEMENT_NODE in the source file.
#define LUMO_DECLARE_NODE(name)                                           \
    LUMO_DECLARE_CLASS(name)                                              \
public:                                                                   \
    static CVNodeType* nodeType;                                          \
    static void AddToTypeNameSpace();                                     \
    CVField* GetField(const wchar_t* fieldName) override                  \
    {                                                                     \
        return nodeType ? nodeType->GetField(this, fieldName) : nullptr;  \
    }

#define LUMO_IMPLEMENT_NODE(name, base) \
    LUMO_IMPLEMENT_CLASS(name, base)    \
    CVNodeType* name::nodeType = nullptr;
