#include "scene/x3d/WriteXMLAction.h"

#include "platform/text/Utf8.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/Group.h"
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

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

using namespace xercesc;
using lumo::xml::ToXml;
namespace text = lumo::x3d;

LUMO_IMPLEMENT_CLASS(CVWriteXMLAction, CVBase)

CVWriteXMLAction::CVWriteXMLAction(CVGLRenderArea* area) : CVGLAction(area), mPlatform(lumo::xml::PlatformReady()) {}

DOMElement* CVWriteXMLAction::NewElement(const wchar_t* name) { return mDocument->createElement(ToXml(name).c_str()); }

void CVWriteXMLAction::SetAttribute(DOMElement* element, const wchar_t* name, const std::wstring& value)
{
    element->setAttribute(ToXml(name).c_str(), ToXml(value).c_str());
}

int CVWriteXMLAction::Apply(CVNode* root, CVCamera*, XMLFormatTarget* target, const wchar_t* encoding,
                            CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    if (!target)
        return 0;
    Reset();
    mSkip = writeRoot ? nullptr : root;
    mParent = nullptr;
    mDocument = nullptr;
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
        if (config->canSetParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true))
            config->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);
        DOMLSOutput* output = impl->createLSOutput();
        output->setByteStream(target);
        if (encoding)
            output->setEncoding(ToXml(encoding).c_str());
        writer->write(mDocument, output);
        output->release();
        writer->release();
        mDocument->release();
        mDocument = nullptr;
    }
    mParent = nullptr;
    return 1;
}

std::string CVWriteXMLAction::WriteString(CVNode* root, CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    MemBufFormatTarget target;
    Apply(root, nullptr, &target, L"UTF-8", viewpoints, writeRoot);
    return std::string(reinterpret_cast<const char*>(target.getRawBuffer()), target.getLen());
}

bool CVWriteXMLAction::WriteFile(CVNode* root, const std::wstring& path, CVMFNode<CVChild>* viewpoints, int writeRoot)
{
    namespace fs = std::filesystem;
    if (!mPlatform)
        return false;
    std::string document = WriteString(root, viewpoints, writeRoot);
    fs::path target(lumo::ToUtf8(path));
    fs::path temp = target.parent_path() / (".~" + target.filename().string() + "." + std::to_string(getpid()));
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(document.data(), std::streamsize(document.size()));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool CVWriteXMLAction::SaveXMLToFile(const std::wstring& folder, const std::wstring& fileName) const
{
    std::ofstream out(lumo::ToUtf8(folder + L"/" + fileName), std::ios::trunc);
    if (!out)
        return false;
    out << lumo::ToUtf8(mText);
    out.close();
    return bool(out);
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
    } else if (DOMElement* e = WriteGenericXML(node)) {
        // Lights, information nodes and the like: kept rather than dropped.
        mParent->appendChild(e);
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
    if (group->IsKindOf<CVTransform>()) {
        auto* t = static_cast<CVTransform*>(group);
        // Animations (transform subclasses) are written with their own
        // elements by the animation nodes; a plain or oblique transform is a Transform.
        e = NewElement(L"Transform");
        const Point3fStruct& tr = t->translation.GetValue();
        const CVRotation& r = t->rotation.GetValue();
        const Point3fStruct& s = t->scale.GetValue();
        const CVRotation& so = t->scaleOrientation.GetValue();
        const Point3fStruct& c = t->center.GetValue();
        SetFixedUnless(e, L"translation", {tr.x, tr.y, tr.z}, tr.x == 0 && tr.y == 0 && tr.z == 0);
        SetFixedUnless(e, L"rotation", {r.x, r.y, r.z, r.angle}, r.angle == 0);
        SetFixedUnless(e, L"scale", {s.x, s.y, s.z}, s.x == 1 && s.y == 1 && s.z == 1);
        SetFixedUnless(e, L"scaleOrientation", {so.x, so.y, so.z, so.angle}, so.angle == 0);
        SetFixedUnless(e, L"center", {c.x, c.y, c.z}, c.x == 0 && c.y == 0 && c.z == 0);
    } else if (group->GetRuntimeClass() == LUMO_RUNTIME_CLASS(CVGroup)) {
        e = NewElement(L"Group");
        if (!group->selectable.GetValue())
            SetAttribute(e, L"selectable", text::BoolText(0));
    } else {
        // Billboards, anchors and other registered groups keep their own
        // element and fields; unregistered ones (the depth buffer) are Groups.
        e = WriteGenericXML(group);
        if (!e)
            e = NewElement(L"Group");
    }
    WriteMetaDataXMLFromNodeString(group, e);
    mParent->appendChild(e);
    mParent = e;
}

void CVWriteXMLAction::WriteSwitchXML(CVSwitch* sw)
{
    DOMElement* e = NewElement(L"Switch");
    if (sw->whichChoice.GetValue() != -1)
        SetAttribute(e, L"whichChoice", text::IntText(sw->whichChoice.GetValue()));
    WriteMetaDataXMLFromNodeString(sw, e);
    mParent->appendChild(e);
    mParent = e;
}

void CVWriteXMLAction::WriteShapeXML(CVShape* shape)
{
    DOMElement* e = NewElement(L"Shape");
    WriteMetaDataXMLFromNodeString(shape, e);
    if (CVGeometry* g = shape->geometry.GetValue())
        WriteGeometryXML(g, e);
    if (CVAppearance* a = shape->appearance.GetValue())
        WriteAppearanceXML(a, e);
    mParent->appendChild(e);
}

void CVWriteXMLAction::WriteGeometryXML(CVNode* geometry, DOMElement* shape)
{
    DOMElement* e = nullptr;
    if (geometry->IsKindOf<CVBox>()) {
        e = NewElement(L"Box");
        const Point3fStruct& size = static_cast<CVBox*>(geometry)->size.GetValue();
        SetFixedUnless(e, L"size", {size.x, size.y, size.z}, false); // always written
    } else {
        // Spheres, cones, cylinders and every other registered geometry keep
        // their element: a saved document must not lose its shapes.
        e = WriteGenericXML(geometry);
    }
    if (e)
        shape->appendChild(e);
}

void CVWriteXMLAction::WriteAppearanceXML(CVNode* node, DOMElement* shape)
{
    auto* appearance = static_cast<CVAppearance*>(node);
    DOMElement* e = NewElement(L"Appearance");
    WriteMetaDataXMLFromNodeString(appearance, e);
    if (CVMaterial* m = appearance->material.GetValue()) {
        DOMElement* me = NewElement(L"Material");
        WriteMetaDataXMLFromNodeString(m, me);
        float ambient = m->ambientIntensity.GetValue();
        const RGBColorStruct& d = m->diffuseColor.GetValue();
        const RGBColorStruct& em = m->emissiveColor.GetValue();
        SetFixedUnless(me, L"ambientIntensity", {ambient}, ambient == 0.8f);
        SetFixedUnless(me, L"diffuseColor", {d.red, d.green, d.blue}, d.red == 0.8f && d.green == 0.8f && d.blue == 0.8f);
        SetFixedUnless(me, L"emissiveColor", {em.red, em.green, em.blue}, em.red == 0 && em.green == 0 && em.blue == 0);
        if (m->shininess.GetValue() != 0.2f)
            SetAttribute(me, L"shininess", text::FloatText(m->shininess.GetValue()));
        const RGBColorStruct& sp = m->specularColor.GetValue();
        SetFixedUnless(me, L"specularColor", {sp.red, sp.green, sp.blue}, sp.red == 0 && sp.green == 0 && sp.blue == 0);
        if (m->transparency.GetValue() != 0.0f)
            SetAttribute(me, L"transparency", text::FloatText(m->transparency.GetValue()));
        e->appendChild(me);
    }
    for (CVNode* n : {appearance->texture.GetValue(), appearance->textureTransform.GetValue()})
        if (n)
            if (DOMElement* child = WriteGenericXML(n))
                e->appendChild(child);
    shape->appendChild(e);
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

DOMElement* CVWriteXMLAction::WriteGenericXML(CVNode* node)
{
    // The node's own type, found by its class: the registered type whose
    // new instance has the same class.
    const CVNodeType* type = nullptr;
    const std::string className = node->GetRuntimeClass()->m_lpszClassName;
    if (className.size() > 2) {
        std::string element = className.substr(2);
        type = CVNodeType::Find(std::wstring(element.begin(), element.end()).c_str());
    }
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
    DOMElement* e = NewElement(type->GetName().c_str());
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
    fresh->Unref();
    return e;
}
