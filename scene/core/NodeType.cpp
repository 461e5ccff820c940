#include "scene/core/NodeType.h"

#include "scene/core/Node.h"
#include "scene/core/NodeFields.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"

#include <cwctype>
#include <mutex>
#include <stdexcept>

namespace {

struct TypeSpace {
    CVNodeType::TypeMap types;
    // Types overwritten by a later one of the same name; kept alive (a class
    // may still point at one) and deleted with the space.
    std::vector<CVNodeType*> displaced;
};

CVNodeType::BuiltinFactory gBuiltinFactory = nullptr;

// Constructed on first use, so that library start-up finds it ready.
std::vector<TypeSpace>& TypeStack()
{
    static std::vector<TypeSpace> stack;
    return stack;
}

using Lock = std::lock_guard<std::recursive_mutex>;

TypeSpace& Top()
{
    auto& stack = TypeStack();
    if (stack.empty())
        throw std::out_of_range("no node type name space is open");
    return stack.back();
}

void DeleteSpace(TypeSpace& space)
{
    for (auto& entry : space.types)
        delete entry.second;
    for (CVNodeType* type : space.displaced)
        delete type;
    space.types.clear();
    space.displaced.clear();
}

wchar_t FoldCase(wchar_t c)
{
    if (c < 0x80)
        return c >= L'A' && c <= L'Z' ? wchar_t(c + 32) : c;
    return wchar_t(std::towlower(c));
}

bool EqualNoCase(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return i == a.size() && b[i] == 0;
}

} // namespace

CVNodeType::CVNodeType(const wchar_t* name) : mName(name ? name : L"") {}

CVNodeType::~CVNodeType()
{
    if (mClassSlot && *mClassSlot == this)
        *mClassSlot = nullptr;
}

void CVNodeType::Init()
{
    Lock lock(lumo::NameSpaceMutex());
    DeleteNameSpaces();
    PushNameSpace();
}

void CVNodeType::UnInit()
{
    Lock lock(lumo::NameSpaceMutex());
    // Every space still open goes, not only the top one: types left in a
    // lower space would otherwise never be freed.
    DeleteNameSpaces();
}

void CVNodeType::PushNameSpace()
{
    Lock lock(lumo::NameSpaceMutex());
    TypeStack().emplace_back();
}

void CVNodeType::PopNameSpace()
{
    Lock lock(lumo::NameSpaceMutex());
    TypeSpace& top = Top();
    DeleteSpace(top);
    TypeStack().pop_back();
}

CVNodeType::TypeMap& CVNodeType::TopNameSpace()
{
    Lock lock(lumo::NameSpaceMutex());
    return Top().types;
}

void CVNodeType::DeleteNameSpaces()
{
    Lock lock(lumo::NameSpaceMutex());
    auto& stack = TypeStack();
    while (!stack.empty()) {
        DeleteSpace(stack.back());
        stack.pop_back();
    }
    stack.shrink_to_fit();
}

int CVNodeType::NameSpaceDepth()
{
    Lock lock(lumo::NameSpaceMutex());
    return int(TypeStack().size()) - 1;
}

void CVNodeType::AddToNameSpace(CVNodeType* type)
{
    if (!type)
        return;
    Lock lock(lumo::NameSpaceMutex());
    TypeSpace& top = Top();
    CVNodeType*& slot = top.types[type->GetName()];
    if (slot && slot != type)
        top.displaced.push_back(slot);
    slot = type;
}

const CVNodeType* CVNodeType::Find(const wchar_t* name)
{
    Lock lock(lumo::NameSpaceMutex());
    auto& stack = TypeStack();
    if (stack.empty())
        throw std::out_of_range("no node type name space is open");
    if (!name)
        return nullptr;
    std::wstring key(name);
    for (const TypeSpace& space : stack) {
        auto it = space.types.find(key);
        if (it != space.types.end())
            return it->second;
    }
    return nullptr;
}

void CVNodeType::Append(std::vector<CVFieldType>& list, const std::wstring& name, int type,
                        std::ptrdiff_t offset)
{
    CVFieldType record;
    record.name = name;
    record.type = type;
    record.offset = offset;
    list.push_back(std::move(record));
}

namespace {
std::ptrdiff_t OffsetOf(const CVNode* instance, const CVField* field)
{
    if (!instance || !field)
        return -1;
    return reinterpret_cast<const char*>(field) - reinterpret_cast<const char*>(instance);
}
} // namespace

void CVNodeType::AddField(const wchar_t* name, int type, CVNode* instance, const CVField* field)
{
    Append(mFields, name, type, OffsetOf(instance, field));
}

void CVNodeType::AddExposedField(const wchar_t* name, int type, CVNode* instance, const CVField* field)
{
    AddField(name, type, instance, field);
    std::wstring base(name);
    Append(mEventIns, L"set_" + base, type, 0);
    Append(mEventOuts, base + L"_changed", type, 0);
}

void CVNodeType::AddEventIn(const wchar_t* name, int type, CVNode* instance, const CVField* field)
{
    Append(mEventIns, name, type, OffsetOf(instance, field));
}

void CVNodeType::AddEventOut(const wchar_t* name, int type, CVNode* instance, const CVField* field)
{
    Append(mEventOuts, name, type, OffsetOf(instance, field));
}

int CVNodeType::Find(const std::vector<CVFieldType>& list, const wchar_t* name)
{
    if (!name)
        return 0;
    for (const CVFieldType& record : list)
        if (record.name == name)
            return record.type;
    return 0;
}

int CVNodeType::HasField(const wchar_t* name) const { return Find(mFields, name); }
int CVNodeType::HasEventIn(const wchar_t* name) const { return Find(mEventIns, name); }
int CVNodeType::HasEventOut(const wchar_t* name) const { return Find(mEventOuts, name); }

int CVNodeType::HasExposedField(const wchar_t* name) const
{
    int type = HasField(name);
    if (type == 0)
        return 0;
    std::wstring base(name);
    if (HasEventIn((L"set_" + base).c_str()) != type || HasEventOut((base + L"_changed").c_str()) != type)
        return 0;
    return type;
}

CVField* CVNodeType::GetField(const CVNode* node, const wchar_t* name) const
{
    if (!node || !name)
        return nullptr;
    for (const CVFieldType& record : mFields)
        if (record.offset >= 0 && EqualNoCase(record.name, name))
            return FieldOf(node, record);
    return nullptr;
}

const CVFieldType* CVNodeType::FindField(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    for (const CVFieldType& record : mFields)
        if (record.name == name)
            return &record;
    return nullptr;
}

CVField* CVNodeType::FieldOf(const CVNode* node, const CVFieldType& record)
{
    if (!node || record.offset < 0)
        return nullptr;
    const char* base = reinterpret_cast<const char*>(node);
    return const_cast<CVField*>(reinterpret_cast<const CVField*>(base + record.offset));
}

CVField* CVNodeType::GetDefaultValue(const CVNode*, const wchar_t* name) const
{
    if (!name)
        return nullptr;
    for (const CVFieldType& record : mFields)
        if (record.name == name)
            return record.defaultValue;
    return nullptr;
}

void CVNodeType::InstallDefaultValues(const CVNode*) const {}

CVNode* CVNodeType::NewInstance() const { return gBuiltinFactory ? gBuiltinFactory(mName.c_str()) : nullptr; }

void CVNodeType::SetBuiltinFactory(BuiltinFactory factory) { gBuiltinFactory = factory; }

CVField* CVNodeType::CreateFieldFromType(int type)
{
    switch (type) {
    case SFBOOL: return new CVSFBool;
    case SFCOLOR: return new CVSFColor;
    case SFFLOAT: return new CVSFFloat;
    case SFINT32: return new CVSFInt32;
    case SFNODE: return new CVSFNode<CVNode>;
    case SFROTATION: return new CVSFRotation;
    case SFSTRING: return new CVSFString;
    case SFVEC2F: return new CVSFVec2f;
    case SFVEC3F: return new CVSFVec3f;
    case MFCOLOR: return new CVMFColor;
    case MFFLOAT: return new CVMFFloat;
    case MFINT32: return new CVMFInt32;
    case MFROTATION: return new CVMFRotation;
    case MFSTRING: return new CVMFString;
    case MFVEC2F: return new CVMFVec2f;
    case MFVEC3F: return new CVMFVec3f;
    case MFNODE: return new CVMFNode<CVNode>;
    default: return nullptr; // SFImage, SFTime and unknown codes
    }
}
