// Saves a scene as an X3D document: walks the scene, builds an XML DOM tree
// and serialises it to a file or a memory buffer.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/render/GLAction.h"

#include <initializer_list>
#include <string>

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
    // The render area is not drawn with; it may be null.
    explicit CVWriteXMLAction(CVGLRenderArea* area = nullptr);

    // Writes the document to the target: X3D / Scene, the viewpoints of the
    // list, then the scene (with the root's own element when writeRoot is
    // non-zero, else only its contents). 0 for a null target, else 1.
    int Apply(CVNode* root, CVCamera* camera, xercesc_3_2::XMLFormatTarget* target, const wchar_t* encoding,
              CVMFNode<CVChild>* viewpoints, int writeRoot);
    // The generic entry writes nothing.
    int Apply(CVNode*) override { return 0; }

    // Writes the document to a file: to a temporary file beside it, renamed
    // into place, so that a failed write leaves an existing file untouched.
    bool WriteFile(CVNode* root, const std::wstring& path, CVMFNode<CVChild>* viewpoints = nullptr,
                   int writeRoot = 0);
    // The document as UTF-8 text.
    std::string WriteString(CVNode* root, CVMFNode<CVChild>* viewpoints = nullptr, int writeRoot = 0);

    void PreActOn(CVNode* node) override;
    void PostActOn(CVNode* node) override;
    bool TraversesAllChoices() const override { return true; }

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
    // Any registered node not covered above: its element name and every
    // field whose text differs from a new node's.
    xercesc_3_2::DOMElement* WriteGenericXML(CVNode* node);

private:
    xercesc_3_2::DOMElement* NewElement(const wchar_t* name);
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
};
