#include "scene/x3d/WriteXMLAction.h"

#include "platform/text/Utf8.h"
#include "scene/core/Graph.h"
#include "scene/nodes/Animation.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Blinker.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/KeyFrameAnimation.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/Viewpoint.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/XmlText.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/LocalFileFormatTarget.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <unistd.h>

using namespace xercesc;
using lumo::xml::ToXml;
namespace text = lumo::x3d;

LUMO_IMPLEMENT_CLASS(CVWriteXMLAction, CVBase)

namespace {
// Exact comparisons (a default is written out only when it is the very value).
bool Same(const Point3fStruct& a, const Point3fStruct& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
bool Same(const CVRotation& a, const CVRotation& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.angle == b.angle;
}
} // namespace

CVWriteXMLAction::CVWriteXMLAction(CVGLRenderArea* area) : CVGLAction(area), mPlatform(lumo::xml::PlatformReady()) {}

DOMElement* CVWriteXMLAction::NewElement(const wchar_t* name) { return mDocument->createElement(ToXml(name).c_str()); }

void CVWriteXMLAction::SetAttribute(DOMElement* element, const wchar_t* name, const std::wstring& value)
{
    element->setAttribute(ToXml(name).c_str(), lumo::xml::ToXmlContent(value).c_str());
}

DOMElement* CVWriteXMLAction::NewNodeElement(const CVNode* node, const wchar_t* name, bool& reference)
{
    reference = false;
    DOMElement* e = NewElement(name);
    if (!mShared.count(node))
        return e;
    auto written = mDefNames.find(node);
    if (written != mDefNames.end()) {
        SetAttribute(e, L"USE", written->second);
        reference = true;
        return e;
    }
    // The node's own name when no other node of this document took it,
    // else a made-up one.
    std::wstring def;
    if (const std::wstring* own = node->GetName(); own && !own->empty() && !mUsedDefNames.count(*own))
        def = *own;
    while (def.empty() || mUsedDefNames.count(def))
        def = L"_shared" + std::to_wstring(++mNextDefName);
    mUsedDefNames.insert(def);
    mDefNames.emplace(node, def);
    SetAttribute(e, L"DEF", def);
    return e;
}

int CVWriteXMLAction::Apply(CVNode* root, CVCamera*, XMLFormatTarget* target, const wchar_t* encoding,
                            CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    if (!target)
        return 0;
    try {
        return Write(root, target, encoding, viewpoints, writeRoot);
    } catch (...) {
        // The DOM, the serialiser or memory failed: the document is
        // abandoned and the failure reported by the result.
        if (mDocument)
            mDocument->release();
        mDocument = nullptr;
        mParent = nullptr;
        return 0;
    }
}

int CVWriteXMLAction::Write(CVNode* root, XMLFormatTarget* target, const wchar_t* encoding,
                            CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    Reset();
    mSkip = writeRoot ? nullptr : root;
    mParent = nullptr;
    mDocument = nullptr;
    mShared.clear();
    mDefNames.clear();
    mUsedDefNames.clear();
    mNextDefName = 0;
    mReferenced = nullptr;
    bool indent = true;
    if (root) {
        for (const auto& [node, holders] : lumo::graph::CountHolders(root))
            if (holders > 1)
                mShared.insert(node);
        // Indentation grows with depth: a deeply nested scene written with
        // it would be mostly blanks (10,000 levels: 100 MB), so it is written
        // without.
        indent = lumo::graph::Measure(root).depth <= kMaxIndentedDepth;
    }

    DOMImplementation* impl = mPlatform ? DOMImplementationRegistry::getDOMImplementation(u"Core") : nullptr;
    if (impl) {
        mDocument = impl->createDocument(nullptr, u"X3D", nullptr);
        DOMElement* scene = NewElement(L"Scene");
        mDocument->getDocumentElement()->appendChild(scene);
        if (viewpoints)
            for (int i = 0; i < viewpoints->GetNum(); ++i)
                if (CVChild* v = (*viewpoints)[i]; v && v->IsKindOf<CVViewpoint>())
                    WriteViewpointXML(v, scene);
        mParent = scene;
    }
    if (root)
        root->Traverse(this, nullptr, 0);
    if (mDocument) {
        DOMLSSerializer* writer = impl->createLSSerializer();
        writer->setNewLine(u"\n");
        DOMConfiguration* config = writer->getDomConfig();
        if (indent && config->canSetParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true))
            config->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);
        DOMLSOutput* output = impl->createLSOutput();
        output->setByteStream(target);
        if (encoding)
            output->setEncoding(ToXml(encoding).c_str());
        bool written = writer->write(mDocument, output);
        output->release();
        writer->release();
        mDocument->release();
        mDocument = nullptr;
        if (!written) {
            mParent = nullptr;
            return 0;
        }
    }
    mParent = nullptr;
    return 1;
}

bool CVWriteXMLAction::Serialize(CVNode* root, CVMFNode<CVChild>* viewpoints, int writeRoot, std::string& out)
{
    try {
        MemBufFormatTarget target;
        if (!Apply(root, nullptr, &target, L"UTF-8", viewpoints, writeRoot))
            return false;
        out.assign(reinterpret_cast<const char*>(target.getRawBuffer()), target.getLen());
        return true;
    } catch (...) {
        return false;
    }
}

std::string CVWriteXMLAction::WriteString(CVNode* root, CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    std::string document;
    if (!Serialize(root, viewpoints, writeRoot, document))
        document.clear();
    return document;
}

bool CVWriteXMLAction::WriteFile(CVNode* root, const std::wstring& path, CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    namespace fs = std::filesystem;
    std::string document;
    if (!mPlatform || !Serialize(root, viewpoints, writeRoot, document))
        return false;
    try {
        fs::path target(lumo::ToUtf8(path));
        fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
        // A new file of an unpredictable name, created exclusively: nothing
        // planted in advance is written through.
        std::string pattern = (folder / (".~" + target.filename().string() + ".XXXXXX")).string();
        int fd = mkstemp(pattern.data());
        if (fd < 0)
            return false;
        const char* data = document.data();
        size_t left = document.size();
        bool ok = true;
        while (ok && left > 0) {
            ssize_t n = ::write(fd, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            if (ok) {
                data += n;
                left -= size_t(n);
            }
        }
        ok = ::close(fd) == 0 && ok;
        std::error_code ec;
        if (ok) {
            fs::permissions(pattern, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                         fs::perms::others_read,
                            ec);
            fs::rename(pattern, target, ec);
            ok = !ec;
        }
        if (!ok)
            fs::remove(pattern, ec);
        return ok;
    } catch (...) {
        return false;
    }
}

bool CVWriteXMLAction::SaveXMLToFile(const std::wstring& folder, const std::wstring& fileName) const
{
    try {
        std::ofstream out(lumo::ToUtf8(folder + L"/" + fileName), std::ios::trunc);
        if (!out)
            return false;
        out << lumo::ToUtf8(mText);
        out.close();
        return bool(out);
    } catch (...) {
        return false;
    }
}

void CVWriteXMLAction::PreActOn(CVNode* node)
{
    if (!mParent || !node)
        return;
    if (node->IsKindOf<CVGroup>()) {
        if (node != mSkip)
            WriteGroupXML(static_cast<CVGroup*>(node));
    } else if (node->IsKindOf<CVShape>()) {
        WriteShapeXML(static_cast<CVShape*>(node));
    } else if (node->IsKindOf<CVSwitch>()) {
        WriteSwitchXML(static_cast<CVSwitch*>(node));
    } else {
        // Lights, information nodes and the like: kept rather than dropped.
        WriteValueNode(node, mParent);
    }
}

void CVWriteXMLAction::SetFixedUnless(DOMElement* element, const wchar_t* name, std::initializer_list<float> values,
                                      bool isDefault)
{
    if (!isDefault)
        SetAttribute(element, name, text::FixedText(values.begin(), int(values.size())));
}

void CVWriteXMLAction::StepUp()
{
    if (mParent && mParent->getParentNode() && mParent->getParentNode()->getNodeType() == DOMNode::ELEMENT_NODE)
        mParent = static_cast<DOMElement*>(mParent->getParentNode());
}

void CVWriteXMLAction::PostActOn(CVNode* node)
{
    if (!mParent || !node)
        return;
    if (node == mReferenced) {
        // Written as a reference: it never became the parent.
        mReferenced = nullptr;
        return;
    }
    if ((node->IsKindOf<CVGroup>() && !node->IsKindOf<CVCamera>()) || node->IsKindOf<CVSwitch>())
        StepUp();
}

void CVWriteXMLAction::WriteMetaDataXMLFromNodeString(CVNode* node, DOMElement* element)
{
    const std::wstring* name = node->GetName();
    if (!name || name->empty())
        return;
    DOMElement* meta = NewElement(L"MetadataString");
    SetAttribute(meta, L"value", *name);
    element->appendChild(meta);
}

void CVWriteXMLAction::WriteGroupXML(CVGroup* group)
{
    if (group->IsKindOf<CVCamera>())
        return; // its children go where the camera stands
    DOMElement* e = nullptr;
    bool reference = false;
    if (group->IsKindOf<CVTransform>()) {
        auto* t = static_cast<CVTransform*>(group);
        // Animations keep their own elements and settings, with the pose
        // they have reached; a plain or oblique transform is a Transform.
        auto* keyed = group->IsKindOf<CVKeyFrameAnimation>() ? static_cast<CVKeyFrameAnimation*>(group) : nullptr;
        bool animation = group->IsKindOf<CVAnimation>();
        e = NewNodeElement(group, animation ? L"Animation" : keyed ? L"KeyFrameAnimation" : L"Transform", reference);
        if (!reference && animation)
            SetFieldsUnlessDefault(e, group,
                                   {L"angle1", L"angle2", L"translation1", L"translation2", L"speed", L"on", L"type"});
        if (!reference && keyed)
            SetFieldsUnlessDefault(e, group, {L"whichKeyFrame"});
        if (!reference) {
            // Each value unless it is a new transform's: a rotation of angle
            // 0 keeps its axis too, so that it reads back the same.
            static const CVTransform defaults;
            const Point3fStruct& tr = t->translation.GetValue();
            const CVRotation& r = t->rotation.GetValue();
            const Point3fStruct& s = t->scale.GetValue();
            const CVRotation& so = t->scaleOrientation.GetValue();
            const Point3fStruct& c = t->center.GetValue();
            SetFixedUnless(e, L"translation", {tr.x, tr.y, tr.z}, Same(tr, defaults.translation.GetValue()));
            SetFixedUnless(e, L"rotation", {r.x, r.y, r.z, r.angle}, Same(r, defaults.rotation.GetValue()));
            SetFixedUnless(e, L"scale", {s.x, s.y, s.z}, Same(s, defaults.scale.GetValue()));
            SetFixedUnless(e, L"scaleOrientation", {so.x, so.y, so.z, so.angle},
                           Same(so, defaults.scaleOrientation.GetValue()));
            SetFixedUnless(e, L"center", {c.x, c.y, c.z}, Same(c, defaults.center.GetValue()));
            // The rest of the transform's fields (its box hint).
            SetFieldsUnlessDefault(e, group, CVNodeType::Find(L"Transform"), [](const std::wstring& name) {
                return name != L"translation" && name != L"rotation" && name != L"scale" &&
                       name != L"scaleOrientation" && name != L"center";
            });
        }
        if (!reference && keyed && keyed->keyFrames.GetNum() > 0) {
            // The key frames go inside one KeyFrames element, which the
            // reader sees through.
            DOMElement* frames = NewElement(L"KeyFrames");
            e->appendChild(frames);
            for (int i = 0; i < keyed->keyFrames.GetNum(); ++i)
                if (CVKeyFrame* frame = keyed->keyFrames[i])
                    WriteValueNode(frame, frames);
        }
    } else if (group->GetRuntimeClass() == LUMO_RUNTIME_CLASS(CVGroup) || !TypeOf(group)) {
        // Groups, and unregistered groups (the depth buffer), are Groups.
        e = NewNodeElement(group, L"Group", reference);
        if (!reference)
            SetFieldsUnlessDefault(e, group, CVNodeType::Find(L"Group"), [](const std::wstring&) { return true; });
    } else {
        // Billboards, anchors and other registered groups keep their own
        // element and fields.
        e = WriteGenericXML(group, false);
        if (e)
            reference = e->hasAttribute(u"USE");
        else
            e = NewNodeElement(group, L"Group", reference);
    }
    mParent->appendChild(e);
    if (reference) {
        mReferenced = group;
        return;
    }
    WriteMetaDataXMLFromNodeString(group, e);
    mParent = e;
}

void CVWriteXMLAction::WriteSwitchXML(CVSwitch* sw)
{
    bool reference = false;
    bool blinker = sw->IsKindOf<CVBlinker>();
    DOMElement* e = NewNodeElement(sw, blinker ? L"Blinker" : L"Switch", reference);
    mParent->appendChild(e);
    if (reference) {
        mReferenced = sw;
        return;
    }
    if (blinker)
        SetFieldsUnlessDefault(e, sw, {L"speed", L"on"});
    if (sw->whichChoice.GetValue() != -1)
        SetAttribute(e, L"whichChoice", text::IntText(sw->whichChoice.GetValue()));
    WriteMetaDataXMLFromNodeString(sw, e);
    mParent = e;
}

void CVWriteXMLAction::WriteShapeXML(CVShape* shape)
{
    bool reference = false;
    DOMElement* e = NewNodeElement(shape, L"Shape", reference);
    mParent->appendChild(e);
    if (reference)
        return;
    WriteMetaDataXMLFromNodeString(shape, e);
    if (CVGeometry* g = shape->geometry.GetValue())
        WriteGeometryXML(g, e);
    if (CVAppearance* a = shape->appearance.GetValue())
        WriteAppearanceXML(a, e);
}

DOMElement* CVWriteXMLAction::WriteValueNode(CVNode* node, DOMElement* parent)
{
    DOMElement* e = nullptr;
    // Only a box itself: the geometries built on it (the selection box, the
    // diamond marker) are no document elements.
    if (node->GetRuntimeClass() == LUMO_RUNTIME_CLASS(CVBox)) {
        bool reference = false;
        e = NewNodeElement(node, L"Box", reference);
        if (!reference) {
            WriteMetaDataXMLFromNodeString(node, e);
            const Point3fStruct& size = static_cast<CVBox*>(node)->size.GetValue();
            SetFixedUnless(e, L"size", {size.x, size.y, size.z}, false); // always written
        }
    } else {
        e = WriteGenericXML(node);
    }
    if (e)
        parent->appendChild(e);
    return e;
}

void CVWriteXMLAction::WriteGeometryXML(CVNode* geometry, DOMElement* shape)
{
    // Spheres, cones, cylinders and every other registered geometry keep
    // their element: a saved document must not lose its shapes.
    WriteValueNode(geometry, shape);
}

void CVWriteXMLAction::WriteAppearanceXML(CVNode* node, DOMElement* shape)
{
    auto* appearance = static_cast<CVAppearance*>(node);
    bool reference = false;
    DOMElement* e = NewNodeElement(appearance, L"Appearance", reference);
    shape->appendChild(e);
    if (reference)
        return;
    WriteMetaDataXMLFromNodeString(appearance, e);
    if (CVMaterial* m = appearance->material.GetValue()) {
        DOMElement* me = NewNodeElement(m, L"Material", reference);
        e->appendChild(me);
        if (!reference) {
            WriteMetaDataXMLFromNodeString(m, me);
            float ambient = m->ambientIntensity.GetValue();
            const RGBColorStruct& d = m->diffuseColor.GetValue();
            const RGBColorStruct& em = m->emissiveColor.GetValue();
            SetFixedUnless(me, L"ambientIntensity", {ambient}, ambient == 0.8f);
            SetFixedUnless(me, L"diffuseColor", {d.red, d.green, d.blue},
                           d.red == 0.8f && d.green == 0.8f && d.blue == 0.8f);
            SetFixedUnless(me, L"emissiveColor", {em.red, em.green, em.blue},
                           em.red == 0 && em.green == 0 && em.blue == 0);
            if (m->shininess.GetValue() != 0.2f)
                SetAttribute(me, L"shininess", text::FloatText(m->shininess.GetValue()));
            const RGBColorStruct& sp = m->specularColor.GetValue();
            SetFixedUnless(me, L"specularColor", {sp.red, sp.green, sp.blue},
                           sp.red == 0 && sp.green == 0 && sp.blue == 0);
            if (m->transparency.GetValue() != 0.0f)
                SetAttribute(me, L"transparency", text::FloatText(m->transparency.GetValue()));
        }
    }
    if (CVNode* t = appearance->texture.GetValue())
        WriteValueNode(t, e);
    if (CVNode* t = appearance->textureTransform.GetValue())
        WriteValueNode(t, e);
}

void CVWriteXMLAction::WriteViewpointXML(CVNode* node, DOMElement* parent)
{
    auto* v = static_cast<CVViewpoint*>(node);
    DOMElement* e = NewElement(L"Viewpoint");
    if (!v->description.GetValue().empty())
        SetAttribute(e, L"description", text::InsertEscapes(v->description.GetValue()));
    const Point3fStruct& p = v->position.GetValue();
    if (p.x != 0 || p.y != 0 || p.z != 10)
        SetAttribute(e, L"position", text::Vec3Text(p.x, p.y, p.z));
    const CVRotation& o = v->orientation.GetValue();
    SetFixedUnless(e, L"orientation", {o.x, o.y, o.z, o.angle}, o.angle == 0);
    if (v->fieldOfView.GetValue() != 0.785398f)
        SetAttribute(e, L"fieldOfView", text::FloatText(v->fieldOfView.GetValue()));
    if (CVNode* key = v->keyFrame.GetValue())
        if (DOMElement* k = WriteGenericXML(key))
            e->appendChild(k);
    parent->appendChild(e);
}

const CVNodeType* CVWriteXMLAction::TypeOf(const CVNode* node)
{
    // The registered type whose name is the class name without its prefix.
    const std::string className = node->GetRuntimeClass()->m_lpszClassName;
    if (className.size() <= 2)
        return nullptr;
    std::string element = className.substr(2);
    return CVNodeType::Find(std::wstring(element.begin(), element.end()).c_str());
}

DOMElement* CVWriteXMLAction::WriteGenericXML(CVNode* node) { return WriteGenericXML(node, true); }

void CVWriteXMLAction::SetFieldsUnlessDefault(DOMElement* element, CVNode* node, const CVNodeType* type,
                                              const std::function<bool(const std::wstring&)>& wanted)
{
    // Each value field of the type the element stands for, unless it is a
    // new node's: what the reader reads must come back. (A subclass written
    // as its base's element keeps the base's fields at the same places.)
    CVNode* fresh = type ? type->NewInstance() : nullptr;
    if (!fresh)
        return;
    fresh->Ref();
    for (const CVFieldType& record : type->GetFields()) {
        if (!wanted(record.name))
            continue;
        CVField* field = CVNodeType::FieldOf(node, record);
        CVField* initial = CVNodeType::FieldOf(fresh, record);
        std::wstring value, original;
        if (field && initial && lumo::x3d::FieldText(*field, value) && lumo::x3d::FieldText(*initial, original) &&
            value != original)
            SetAttribute(element, record.name.c_str(), value);
    }
    fresh->Unref();
}

void CVWriteXMLAction::SetFieldsUnlessDefault(DOMElement* element, CVNode* node,
                                              std::initializer_list<const wchar_t*> names)
{
    SetFieldsUnlessDefault(element, node, TypeOf(node), [&](const std::wstring& name) {
        for (const wchar_t* n : names)
            if (name == n)
                return true;
        return false;
    });
}

DOMElement* CVWriteXMLAction::WriteGenericXML(CVNode* node, bool withNodeFields)
{
    const CVNodeType* type = TypeOf(node);
    if (!type)
        return nullptr;
    CVNode* fresh = type->NewInstance();
    if (!fresh || fresh->GetRuntimeClass() != node->GetRuntimeClass()) {
        if (fresh) {
            fresh->Ref();
            fresh->Unref();
        }
        return nullptr;
    }
    fresh->Ref();
    bool reference = false;
    DOMElement* e = NewNodeElement(node, type->GetName().c_str(), reference);
    if (!reference) {
        WriteMetaDataXMLFromNodeString(node, e);
        for (const CVFieldType& record : type->GetFields()) {
            CVField* field = CVNodeType::FieldOf(node, record);
            CVField* initial = CVNodeType::FieldOf(fresh, record);
            std::wstring value, original;
            if (!field || !initial || !lumo::x3d::FieldText(*field, value))
                continue;
            lumo::x3d::FieldText(*initial, original);
            if (value != original)
                SetAttribute(e, record.name.c_str(), value);
        }
        // The nodes it holds (coordinates, colours, font styles...) become
        // child elements, which the reader places by their element name or
        // class. A group's children are the walk's to write.
        if (withNodeFields)
            for (const CVFieldType& record : type->GetFields()) {
                CVField* field = CVNodeType::FieldOf(node, record);
                if (!field)
                    continue;
                if (record.type == SFNODE) {
                    if (CVNode* held = static_cast<CVSFNodeBase*>(field)->GetNode())
                        WriteValueNode(held, e);
                } else if (record.type == MFNODE) {
                    auto* list = static_cast<CVMFNodeBase*>(field);
                    for (int i = 0; i < list->GetNum(); ++i)
                        if (CVNode* held = list->GetNodeAt(i))
                            WriteValueNode(held, e);
                }
            }
    }
    fresh->Unref();
    return e;
}
