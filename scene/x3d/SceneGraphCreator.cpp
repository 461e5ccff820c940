#include "scene/x3d/SceneGraphCreator.h"

#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Switch.h"

#include <cwchar>

CVSceneGraphCreator::CVSceneGraphCreator(CVGroup* root) : mRoot(root) { CVNodeType::PushNameSpace(); }

CVSceneGraphCreator::~CVSceneGraphCreator()
{
    // Nodes built but never linked (nothing held them) go with the walk.
    for (Record& r : mStack)
        if (r.node && r.node->GetRef() == 0) {
            r.node->Ref();
            r.node->Unref();
        }
    CVNodeType::PopNameSpace();
}

int CVSceneGraphCreator::BeginElement(const std::wstring& name)
{
    const CVNodeType* type = CVNodeType::Find(name.c_str());
    if (!type)
        return 0;
    CVNode* node = type->NewInstance();
    if (!node)
        return 0;
    // Held by the walk while it is open, so that a node with no place in the
    // scene lives until its element ends (a DEF may still name it).
    node->Ref();
    if (!Place(node, name)) {
        node->Unref();
        return 0;
    }
    mStack.push_back({type, nullptr, node});
    return 1;
}

void CVSceneGraphCreator::EndElement(const std::wstring&)
{
    if (mStack.empty())
        return;
    Record r = mStack.back();
    mStack.pop_back();
    std::wstring message;
    r.node->IsValid(message);
    // The walk lets go of its reference. A node the scene does not hold is
    // freed, unless it is named: a later USE (in this document or a later
    // one) may still place it, so it stays alive with no holder.
    if (r.node->GetRef() == 1 && r.node->GetName())
        r.node->UnrefNoDelete();
    else
        r.node->Unref();
}

void CVSceneGraphCreator::SetDEF(const std::wstring& name)
{
    if (!mStack.empty())
        mStack.back().node->SetName(name);
}

int CVSceneGraphCreator::UseNode(const std::wstring& name, const std::wstring& element)
{
    CVNode* node = CVNode::NameToNode(name);
    if (!node)
        return 0;
    return Place(node, element) ? 1 : 0;
}

bool CVSceneGraphCreator::Place(CVNode* node, const std::wstring& element)
{
    if (mStack.empty()) {
        if (!node->IsKindOf<CVChild>())
            return false;
        mRoot->children.Add(static_cast<CVChild*>(node));
        return true;
    }
    Record& top = mStack.back();
    CVNode* parent = top.node;
    CVField* target = parent->GetField(element.c_str());
    if (!target) {
        const wchar_t* fallback = nullptr;
        if (parent->IsKindOf<CVGroup>())
            fallback = parent->IsKindOfClassNamed("CVKeyFrameAnimation") && node->IsKindOfClassNamed("CVKeyFrame")
                           ? L"keyFrames"
                           : L"children";
        else if (parent->IsKindOfClassNamed("CVShape"))
            fallback = node->IsKindOfClassNamed("CVGeometry") ? L"geometry" : nullptr;
        else if (parent->IsKindOf<CVSwitch>())
            fallback = L"choice";
        else if (node->IsKindOfClassNamed("CVCoordinate"))
            fallback = L"coord";
        else if (node->IsKindOfClassNamed("CVTextureCoordinate"))
            fallback = L"texCoord";
        else if (node->IsKindOfClassNamed("CVTexture"))
            fallback = L"texture";
        if (fallback)
            target = parent->GetField(fallback);
    }
    // A node of a class the field cannot hold is rejected rather than
    // stored under the wrong type.
    bool placed = true;
    if (target && target->GetType() == SFNODE)
        placed = static_cast<CVSFNodeBase*>(target)->SetNode(node);
    else if (target && target->GetType() == MFNODE)
        placed = node->IsKindOf<CVChild>() && static_cast<CVMFNodeBase*>(target)->AddNode(node);
    top.field = nullptr;
    return placed;
}

int CVSceneGraphCreator::BeginField(const std::wstring& name)
{
    if (mStack.empty())
        return 0;
    Record& top = mStack.back();
    if (top.type->HasEventIn(name.c_str()) || top.type->HasEventOut(name.c_str()))
        return 1;
    const CVFieldType* record = top.type->FindField(name.c_str());
    if (!record)
        return 0;
    mFieldType = record->type;
    mField = CVNodeType::FieldOf(top.node, *record);
    top.field = mField;
    return 1;
}

void CVSceneGraphCreator::EndField()
{
    if (!mStack.empty())
        mStack.back().field = nullptr;
    mField = nullptr;
    mFieldType = 0;
}

std::wstring CVSceneGraphCreator::Unescape(const std::wstring& text)
{
    if (text.find(L'\\') == std::wstring::npos)
        return text;
    std::wstring s = text;
    auto replaceAll = [&s](const wchar_t* from, const wchar_t* to) {
        std::wstring f(from), t(to);
        for (size_t pos = s.find(f); pos != std::wstring::npos; pos = s.find(f, pos + t.size()))
            s.replace(pos, f.size(), t);
    };
    replaceAll(L"\\\\", L"\\");
    replaceAll(L"\\\"", L"\"");
    replaceAll(L"\\'", L"'");
    return s;
}

void CVSceneGraphCreator::AddListValues(CVField* field, int type, const std::wstring& text)
{
    std::vector<std::wstring> tokens;
    size_t i = 0;
    auto isSeparator = [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n' || c == L',' || c == L' '; };
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !isSeparator(text[i]))
            ++i;
        if (i > start)
            tokens.emplace_back(text, start, i - start);
    }
    if (type == MFFLOAT) {
        for (auto& t : tokens)
            static_cast<CVMFFloat*>(field)->Add(t.c_str());
        return;
    }
    if (type == MFINT32) {
        for (auto& t : tokens)
            static_cast<CVMFInt32*>(field)->Add(t.c_str());
        return;
    }
    size_t group = type == MFVEC2F ? 2 : type == MFROTATION ? 4 : 3;
    std::vector<float> v(group);
    for (size_t k = 0; k + group <= tokens.size(); k += group) {
        for (size_t j = 0; j < group; ++j)
            v[j] = float(std::wcstod(tokens[k + j].c_str(), nullptr)); // not a number: 0
        switch (type) {
        case MFVEC2F: static_cast<CVMFVec2f*>(field)->Add(v[0], v[1]); break;
        case MFVEC3F: static_cast<CVMFVec3f*>(field)->Add(v[0], v[1], v[2]); break;
        case MFCOLOR: static_cast<CVMFColor*>(field)->Add(v[0], v[1], v[2], 1.0f); break;
        case MFROTATION: static_cast<CVMFRotation*>(field)->Add(v[0], v[1], v[2], v[3]); break;
        }
    }
}

void CVSceneGraphCreator::AddStringList(CVField* field, const std::wstring& text)
{
    auto* list = static_cast<CVMFString*>(field);
    bool escaped = text.find(L'\\') != std::wstring::npos;
    size_t open = text.find(L'"');
    size_t firstBackslash = text.find(L'\\');
    if (open == std::wstring::npos || (firstBackslash != std::wstring::npos && open == firstBackslash + 1)) {
        list->Add(Unescape(text));
        return;
    }
    while (open != std::wstring::npos) {
        size_t close = open + 1;
        while (close < text.size() && !(text[close] == L'"' && text[close - 1] != L'\\'))
            ++close;
        if (close >= text.size())
            break; // an opening quote without a closing one ends the list
        std::wstring item = text.substr(open + 1, close - open - 1);
        list->Add(escaped ? Unescape(item) : item);
        open = text.find(L'"', close + 1);
    }
}

void CVSceneGraphCreator::SetFieldValue(const std::wstring& text)
{
    int type = mFieldType;
    CVField* field = mField;
    mFieldType = 0;
    if (!field)
        return;
    const wchar_t* t = text.c_str();
    switch (type) {
    case SFBOOL: static_cast<CVSFBool*>(field)->SetValue(t); break;
    case SFCOLOR: static_cast<CVSFColor*>(field)->SetValue(t); break;
    case SFVEC3F: static_cast<CVSFVec3f*>(field)->SetValue(t); break;
    case SFFLOAT: static_cast<CVSFFloat*>(field)->SetValue(t); break;
    case SFINT32: static_cast<CVSFInt32*>(field)->SetValue(t); break;
    case SFVEC2F: static_cast<CVSFVec2f*>(field)->SetValue(t); break;
    case SFROTATION: static_cast<CVSFRotation*>(field)->SetValue(t); break;
    case SFSTRING: static_cast<CVSFString*>(field)->SetValue(Unescape(text)); break;
    case MFFLOAT:
    case MFINT32:
    case MFCOLOR:
    case MFROTATION:
    case MFVEC2F:
    case MFVEC3F: AddListValues(field, type, text); break;
    case MFSTRING: AddStringList(field, text); break;
    default: break; // images, times and node fields cannot be given as text
    }
}
