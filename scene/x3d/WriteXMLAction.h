// Saves a scene as an X3D document: walks the scene, builds an XML DOM tree
// and serialises it to a file or a memory buffer. A node held in more than
// one place is written once with DEF and later referred to with USE; text
// that XML cannot carry is written with U+FFFD in its place; nothing thrown
// inside leaves the writer (a failed write returns 0, false or empty text).
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/render/GLAction.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <unordered_set>

class CVCamera;
class CVGroup;
class CVShape;
class CVSwitch;

namespace xercesc_3_2 {
class DOMDocument;
class DOMElement;
class XMLFormatTarget;
} // namespace xercesc_3_2

class CVWriteXMLAction : public CVGLAction {
    LUMO_DECLARE_CLASS(CVWriteXMLAction)

public:
    // Scenes deeper than this are written without indentation, which would
    // otherwise grow with the square of the depth.
    static constexpr std::size_t kMaxIndentedDepth = 100;

    // The render area is not drawn with; it may be null.
    explicit CVWriteXMLAction(CVGLRenderArea* area = nullptr);

    // Writes the document to the target: X3D / Scene, the viewpoints of the
    // list, then the scene (with the root's own element when writeRoot is
    // non-zero, else only its contents). 0 for a null target or a failed
    // write, else 1.
    int Apply(CVNode* root, CVCamera* camera, xercesc_3_2::XMLFormatTarget* target, const wchar_t* encoding,
              CVMFNode<CVChild>* viewpoints, int writeRoot);
    // The generic entry writes nothing.
    int Apply(CVNode*) override { return 0; }

    // Writes the document to a file: to a new temporary file of an
    // unpredictable name beside it, renamed into place, so that a failed
    // write leaves an existing file untouched.
    bool WriteFile(CVNode* root, const std::wstring& path, CVMFNode<CVChild>* viewpoints = nullptr,
                   int writeRoot = 0);
    // The document as UTF-8 text; empty when the write failed.
    std::string WriteString(CVNode* root, CVMFNode<CVChild>* viewpoints = nullptr, int writeRoot = 0);

    void PreActOn(CVNode* node) override;
    void PostActOn(CVNode* node) override;
    bool TraversesAllChoices() const override { return true; }
    bool SkipsChildrenOf(const CVNode* node) const override { return node && node == mReferenced; }

    // Writes the text buffer to folder/fileName; false on any file error.
    bool SaveXMLToFile(const std::wstring& folder, const std::wstring& fileName) const;
    void SetFileName(const std::wstring& name) { mFileName = name; }
    void SetText(const std::wstring& text) { mText = text; }

protected:
    void WriteGroupXML(CVGroup* group);
    void WriteShapeXML(CVShape* shape);
    void WriteSwitchXML(CVSwitch* sw);
    void WriteGeometryXML(CVNode* geometry, xercesc_3_2::DOMElement* shape);
    void WriteAppearanceXML(CVNode* appearance, xercesc_3_2::DOMElement* shape);
    void WriteViewpointXML(CVNode* viewpoint, xercesc_3_2::DOMElement* parent);
    void WriteMetaDataXMLFromNodeString(CVNode* node, xercesc_3_2::DOMElement* element);
    // Any registered node not covered above: its element name, every field
    // whose text differs from a new node's, and the nodes of its node-valued
    // fields as child elements (not for groups: the walk writes those).
    xercesc_3_2::DOMElement* WriteGenericXML(CVNode* node);
    xercesc_3_2::DOMElement* WriteGenericXML(CVNode* node, bool withNodeFields);
    // The value fields of the node that differ from a new node's of the
    // type (all the wanted ones), or the named ones of its own type.
    void SetFieldsUnlessDefault(xercesc_3_2::DOMElement* element, CVNode* node, const CVNodeType* type,
                                const std::function<bool(const std::wstring&)>& wanted);
    void SetFieldsUnlessDefault(xercesc_3_2::DOMElement* element, CVNode* node,
                                std::initializer_list<const wchar_t*> names);
    // The registered element name of the node's class, or null.
    static const CVNodeType* TypeOf(const CVNode* node);

private:
    int Write(CVNode* root, xercesc_3_2::XMLFormatTarget* target, const wchar_t* encoding,
              CVMFNode<CVChild>* viewpoints, int writeRoot);
    bool Serialize(CVNode* root, CVMFNode<CVChild>* viewpoints, int writeRoot, std::string& text);
    xercesc_3_2::DOMElement* NewElement(const wchar_t* name);
    // The element of a node: with DEF the first time a shared node is
    // written, and as a bare USE reference (reference set) every later time.
    xercesc_3_2::DOMElement* NewNodeElement(const CVNode* node, const wchar_t* name, bool& reference);
    // A value node of a shape or appearance, as a USE reference when written before.
    xercesc_3_2::DOMElement* WriteValueNode(CVNode* node, xercesc_3_2::DOMElement* parent);
    void SetAttribute(xercesc_3_2::DOMElement* element, const wchar_t* name, const std::wstring& value);
    // "%f" per value, blank-separated, unless the value is the default.
    void SetFixedUnless(xercesc_3_2::DOMElement* element, const wchar_t* name, std::initializer_list<float> values,
                        bool isDefault);
    void StepUp();

    std::wstring mText;
    std::wstring mFileName;
    bool mPlatform = false;
    xercesc_3_2::DOMElement* mParent = nullptr;
    xercesc_3_2::DOMDocument* mDocument = nullptr;
    CVNode* mSkip = nullptr;
    // Nodes held in more than one place, the DEF names given so far, and the
    // node just written as a reference (the walk skips its children).
    std::unordered_set<const CVNode*> mShared;
    std::unordered_map<const CVNode*, std::wstring> mDefNames;
    std::unordered_set<std::wstring> mUsedDefNames;
    int mNextDefName = 0;
    const CVNode* mReferenced = nullptr;
};
