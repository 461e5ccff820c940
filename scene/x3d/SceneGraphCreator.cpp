#include "scene/x3d/SceneGraphCreator.h"

#include "scene/core/Graph.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/NumberText.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Switch.h"
#include "scene/x3d/XmlText.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cwchar>

namespace {

// Elements every document has around or beside its nodes: not worth a note
// when they are skipped.
bool IsStructural(const std::wstring& name)
{
    static const wchar_t* const kNames[] = {L"X3D", L"Scene", L"head", L"meta", L"component", L"unit", L"KeyFrames"};
    for (const wchar_t* n : kNames)
        if (name == n)
            return true;
    return name.compare(0, 8, L"Metadata") == 0;
}

std::wstring Quoted(const std::wstring& name) { return L"\"" + name + L"\""; }

// Distinct nodes reachable from node, counting stops past cap.
std::uint64_t CountDistinct(const CVNode* node, std::uint64_t cap)
{
    const std::uint64_t mark = CVNode::NewWalkMark();
    std::vector<const CVNode*> pending{node};
    node->SetMark(mark);
    std::uint64_t count = 0;
    while (!pending.empty() && count <= cap) {
        const CVNode* n = pending.back();
        pending.pop_back();
        ++count;
        n->ForEachHeldNode([&](CVNode* child) {
            if (!child->IsMarked(mark)) {
                child->SetMark(mark);
                pending.push_back(child);
            }
        });
    }
    return count;
}

} // namespace

CVSceneGraphCreator::CVSceneGraphCreator(CVGroup* root) : mRoot(root) { CVNodeType::PushNameSpace(); }

CVSceneGraphCreator::~CVSceneGraphCreator()
{
    // Nodes still open when the walk stopped early, and named nodes that
    // nothing placed, go with the walk; a node the scene holds stays.
    for (Record& r : mStack)
        r.node->Unref();
    for (CVNode* node : mUnplaced)
        node->Unref();
    CVNodeType::PopNameSpace();
}

void CVSceneGraphCreator::Note(const std::wstring& message)
{
    if (mMessageCounts[message]++ == 0)
        mMessageOrder.push_back(message);
}

std::vector<std::wstring> CVSceneGraphCreator::Messages() const
{
    std::vector<std::wstring> out;
    out.reserve(mMessageOrder.size());
    for (const std::wstring& m : mMessageOrder) {
        int count = mMessageCounts.at(m);
        out.push_back(count > 1 ? m + L" (" + std::to_wstring(count) + L" times)" : m);
    }
    return out;
}

namespace {
std::wstring SharedBoundMessage()
{
    return L"The document's shared nodes (USE) expand to more than " +
           std::to_wstring(CVSceneGraphCreator::kMaxSharedInstances) +
           L" node instances; such documents are not read.";
}
} // namespace

void CVSceneGraphCreator::CountSharedInstances(std::uint64_t count)
{
    mShared += count;
    if (mShared > kMaxSharedInstances)
        lumo::xml::RaiseParseError(SharedBoundMessage());
}

void CVSceneGraphCreator::CheckBounds() const
{
    lumo::graph::Extent extent = lumo::graph::Measure(mRoot);
    if (extent.depth != lumo::graph::kCyclic && extent.depth > kMaxGraphDepth + 1)
        lumo::xml::RaiseParseError(L"The document's scene is more than " + std::to_wstring(kMaxGraphDepth) +
                                   L" nodes deep through its shared nodes; such documents are not read.");
    // Each created node counts once, the root too; the rest comes from sharing.
    if (extent.instances > 1 + mCreated + kMaxSharedInstances)
        lumo::xml::RaiseParseError(SharedBoundMessage());
}

int CVSceneGraphCreator::BeginElement(const std::wstring& name)
{
    const CVNodeType* type = CVNodeType::Find(name.c_str());
    CVNode* node = type ? type->NewInstance() : nullptr;
    if (!node) {
        if (!IsStructural(name))
            Note(L"element <" + name + L"> is not a node this library reads; skipped");
        return 0;
    }
    // Held by the walk while it is open, so that a node with no place in the
    // scene lives until its element ends (a DEF may still name it).
    node->Ref();
    ++mCreated;
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
    // A named node that no place holds keeps the walk's reference until the
    // walk ends, for a later USE; any other node is let go.
    if (r.node->GetRef() == 1 && r.node->GetName())
        mUnplaced.push_back(r.node);
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
    if (name.empty()) {
        Note(L"an empty USE names no node; element <" + element + L"> skipped");
        return 0;
    }
    CVNode* node = CVNode::NameToNode(name);
    if (!node) {
        Note(L"USE " + Quoted(name) + L" names no node defined before it; skipped");
        return 0;
    }
    if (!mStack.empty() && lumo::graph::Reaches(node, mStack.back().node)) {
        Note(L"USE " + Quoted(name) + L" inside its own definition would make the node its own descendant; dropped");
        return 0;
    }
    CountSharedInstances(CountDistinct(node, kMaxSharedInstances - mShared + 1));
    return Place(node, element) ? 1 : 0;
}

bool CVSceneGraphCreator::Place(CVNode* node, const std::wstring& element)
{
    if (mStack.empty()) {
        if (node->IsKindOf<CVChild>() && mRoot->children.Add(static_cast<CVChild*>(node)))
            return true;
        Note(L"element <" + element + L"> cannot stand at the top of a scene; skipped");
        return false;
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
        else if (node->IsKindOfClassNamed("CVBaseFontStyle"))
            fallback = L"fontStyle"; // BitmapFontStyle matches no field by name
        else if (node->IsKindOfClassNamed("CVColorInterpolator"))
            fallback = L"colorLevels"; // an elevation grid's colour levels
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
    if (!placed)
        Note(L"element <" + element + L"> cannot stand inside <" + top.type->GetName() + L">; skipped");
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
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (text[i] == L'\\' && (next == L'\\' || next == L'"' || next == L'\'')) {
            out += next;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

template <class Char>
bool IsListSeparator(Char c)
{
    return c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ' ';
}

// Calls f(begin, end) for each token of a list attribute, in place.
template <class Char, class F>
void ForEachToken(const Char* p, const Char* end, F&& f)
{
    while (p < end) {
        while (p < end && IsListSeparator(*p))
            ++p;
        const Char* start = p;
        while (p < end && !IsListSeparator(*p))
            ++p;
        if (p > start)
            f(start, p);
    }
}

// A token as the library's wide text, for the readings that need it. They
// stop at the first character that is no part of a number, so the halves
// of a UTF-16 surrogate pair need no joining.
std::wstring Wide(const wchar_t* begin, const wchar_t* end) { return std::wstring(begin, end); }
std::wstring Wide(const char16_t* begin, const char16_t* end) { return std::wstring(begin, end); }

// One component of a vector list: plain numbers are read directly, any
// other token as wcstod reads it (text that is no number gives 0).
template <class Char>
float Component(const Char* begin, const Char* end)
{
    double v;
    if (lumo::text::ReadPlainDouble(begin, end, v))
        return float(v);
    return float(std::wcstod(Wide(begin, end).c_str(), nullptr));
}

template <class List>
void MakeRoom(CVField* field, std::size_t more)
{
    auto* list = static_cast<List*>(field);
    list->SetCapacity(int(std::min<std::size_t>(std::size_t(list->GetNum()) + more, std::size_t(INT_MAX))));
}

template <class Char>
void AddList(CVField* field, int type, const Char* text, const Char* end)
{
    // Counted first, so that each list is allocated once and to size: a
    // mesh's lists are most of a document.
    std::size_t tokens = 0;
    ForEachToken(text, end, [&tokens](const Char*, const Char*) { ++tokens; });
    if (tokens == 0)
        return;
    if (type == MFFLOAT) {
        auto* list = static_cast<CVMFFloat*>(field);
        MakeRoom<CVMFFloat>(field, tokens);
        ForEachToken(text, end, [list](const Char* b, const Char* e) {
            float v;
            if (lumo::text::ReadPlainFloat(b, e, v))
                list->Add(v);
            else
                list->Add(Wide(b, e).c_str());
        });
        return;
    }
    if (type == MFINT32) {
        auto* list = static_cast<CVMFInt32*>(field);
        MakeRoom<CVMFInt32>(field, tokens);
        ForEachToken(text, end, [list](const Char* b, const Char* e) {
            int v;
            if (lumo::text::ReadPlainInt(b, e, v))
                list->Add(v);
            else
                list->Add(Wide(b, e).c_str());
        });
        return;
    }
    const std::size_t group = type == MFVEC2F ? 2 : type == MFROTATION ? 4 : 3;
    switch (type) {
    case MFVEC2F: MakeRoom<CVMFVec2f>(field, tokens / group); break;
    case MFVEC3F: MakeRoom<CVMFVec3f>(field, tokens / group); break;
    case MFCOLOR: MakeRoom<CVMFColor>(field, tokens / group); break;
    case MFROTATION: MakeRoom<CVMFRotation>(field, tokens / group); break;
    default: return;
    }
    float v[4];
    std::size_t j = 0;
    // One element per complete group; a trailing incomplete group is dropped.
    ForEachToken(text, end, [&](const Char* b, const Char* e) {
        v[j++] = Component(b, e);
        if (j < group)
            return;
        j = 0;
        switch (type) {
        case MFVEC2F: static_cast<CVMFVec2f*>(field)->Add(v[0], v[1]); break;
        case MFVEC3F: static_cast<CVMFVec3f*>(field)->Add(v[0], v[1], v[2]); break;
        case MFCOLOR: static_cast<CVMFColor*>(field)->Add(v[0], v[1], v[2], 1.0f); break;
        case MFROTATION: static_cast<CVMFRotation*>(field)->Add(v[0], v[1], v[2], v[3]); break;
        }
    });
}

bool IsNumberList(int type)
{
    return type == MFFLOAT || type == MFINT32 || type == MFCOLOR || type == MFROTATION || type == MFVEC2F ||
           type == MFVEC3F;
}

} // namespace

void CVSceneGraphCreator::AddListValues(CVField* field, int type, const std::wstring& text)
{
    AddList(field, type, text.data(), text.data() + text.size());
}

void CVSceneGraphCreator::AddListValues(CVField* field, int type, const char16_t* text, std::size_t length)
{
    if (text)
        AddList(field, type, text, text + length);
}

void CVSceneGraphCreator::AddStringList(CVField* field, const std::wstring& text)
{
    auto* list = static_cast<CVMFString*>(field);
    if (text.empty())
        return; // an empty attribute is an empty list (the writer writes one so)
    size_t open = text.find(L'"');
    size_t firstBackslash = text.find(L'\\');
    if (open == std::wstring::npos || (firstBackslash != std::wstring::npos && open == firstBackslash + 1)) {
        list->Add(Unescape(text));
        return;
    }
    // Quoted strings, read left to right: inside quotes a backslash before
    // a backslash or a quote escapes it, so "a\\" ends after the backslash.
    while (open != std::wstring::npos) {
        std::wstring item;
        size_t i = open + 1;
        bool closed = false;
        for (; i < text.size(); ++i) {
            wchar_t c = text[i];
            wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
            if (c == L'\\' && (next == L'\\' || next == L'"' || next == L'\'')) {
                item += next;
                ++i;
            } else if (c == L'"') {
                closed = true;
                break;
            } else {
                item += c;
            }
        }
        if (!closed)
            break; // an opening quote without a closing one ends the list
        list->Add(item);
        open = text.find(L'"', i + 1);
    }
}

bool CVSceneGraphCreator::SetFieldValueUtf16(const char16_t* text, std::size_t length)
{
    if (!mField || !IsNumberList(mFieldType))
        return false;
    // The attribute gives the field's whole value: a default list does not
    // stay in front of it.
    static_cast<CVMField*>(mField)->SetSize(0);
    AddListValues(mField, mFieldType, text, length);
    mFieldType = 0;
    return true;
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
    case MFVEC3F:
        // The attribute gives the field's whole value: a default list does
        // not stay in front of it.
        static_cast<CVMField*>(field)->SetSize(0);
        AddListValues(field, type, text);
        break;
    case MFSTRING:
        static_cast<CVMField*>(field)->SetSize(0);
        AddStringList(field, text);
        break;
    default: break; // images, times and node fields cannot be given as text
    }
}
