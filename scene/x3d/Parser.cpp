#include "scene/x3d/Parser.h"

#include "scene/model/MFields.h"
#include "scene/nodes/Group.h"
#include "scene/x3d/SceneGraphCreator.h"
#include "scene/x3d/TextCreator.h"
#include "scene/x3d/XmlText.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/XMLElementDecl.hpp>
#include <xercesc/framework/XMLAttr.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLString.hpp>

#include <memory>

using namespace xercesc;
using lumo::xml::ToWide;
using lumo::xml::ToXml;

namespace {

// Answers every external entity and DTD with empty text, so that no
// document can make the parser fetch a URL or read a file.
class NoExternalResources : public XMLEntityResolver {
public:
    InputSource* resolveEntity(XMLResourceIdentifier*) override
    {
        static const XMLByte nothing[1] = {0};
        return new MemBufInputSource(nothing, 0, "external", false);
    }
};

// Bounds entity expansion, so that a "billion laughs" document fails
// instead of eating memory.
const XMLSize_t kEntityExpansionLimit = 100000;

[[noreturn]] void Refuse(const std::wstring& message, const std::wstring& systemId)
{
    std::u16string m = ToXml(message), id = ToXml(systemId);
    throw SAXParseException(m.c_str(), u"", id.c_str(), 0, 0);
}

// The DOM parser with a bound on element nesting, checked as elements are
// scanned: a deeper document is refused before the walk (and every action on
// the scene, which recurses) could run out of stack.
class BoundedDOMParser : public XercesDOMParser {
public:
    void startElement(const XMLElementDecl& decl, const unsigned int urlId, const XMLCh* const prefix,
                      const RefVectorOf<XMLAttr>& attributes, const XMLSize_t count, const bool isEmpty,
                      const bool isRoot) override
    {
        if (mDepth + 1 > CVParser::kMaxElementDepth)
            Refuse(L"The document nests elements more than " + std::to_wstring(CVParser::kMaxElementDepth) +
                       L" levels deep; such documents are not read.",
                   L"");
        if (!isEmpty)
            ++mDepth;
        XercesDOMParser::startElement(decl, urlId, prefix, attributes, count, isEmpty, isRoot);
    }
    void endElement(const XMLElementDecl& decl, const unsigned int urlId, const bool isRoot,
                    const XMLCh* const prefix) override
    {
        --mDepth;
        XercesDOMParser::endElement(decl, urlId, isRoot, prefix);
    }

private:
    int mDepth = 0;
};

bool EndsWith(const std::wstring& s, const wchar_t* suffix)
{
    std::wstring t(suffix);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

} // namespace

CVGroup* CVParser::Parse(const std::wstring& path, std::vector<std::wstring>*)
{
    if (path.empty() || EndsWith(path, L".wrl"))
        return nullptr;
    return ParseX3DXML(path, nullptr, 0);
}

CVGroup* CVParser::ParseXMLFile(const std::wstring& path) { return ParseX3DXML(path, nullptr, 0); }

CVGroup* CVParser::ParseXMLBits(const void* bytes, unsigned int count)
{
    return ParseX3DXML(std::wstring(), bytes, count);
}

CVGroup* CVParser::ParseX3DXML(const std::wstring& path, const void* bytes, unsigned int count)
{
    auto* root = new CVGroup;
    root->Ref();
    try {
        CVSceneGraphCreator creator(root);
        ParseXML(path, bytes, count, creator);
    } catch (...) {
        root->Unref();
        throw;
    }
    root->UnrefNoDelete(); // handed over with count 0: the caller takes the first reference
    return root;
}

void CVParser::ParseXML(const std::wstring& path, const void* bytes, unsigned int count, CVXMLCreator& creator)
{
    if (!lumo::xml::PlatformReady())
        return;
    // Fatal errors (a missing file, a document that is not well-formed) are
    // raised as the parse exception; warnings and recoverable errors are not.
    HandlerBase errors;
    NoExternalResources resolver;
    SecurityManager security;
    security.setEntityExpansionLimit(kEntityExpansionLimit);
    BoundedDOMParser parser;
    parser.setValidationScheme(XercesDOMParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setDoSchema(false);
    parser.setLoadExternalDTD(false);
    parser.setXMLEntityResolver(&resolver);
    parser.setDisableDefaultEntityResolution(true);
    parser.setSecurityManager(&security);
    parser.setErrorHandler(&errors);

    std::u16string xmlPath = ToXml(path);
    if (!path.empty()) {
        // Only a local file: a path naming a URL is not fetched.
        LocalFileInputSource source(xmlPath.c_str());
        parser.parse(source);
    } else {
        const auto* data = static_cast<const XMLByte*>(bytes);
        MemBufInputSource source(data, bytes ? count : 0, "X3DBits", false);
        // Wide-character documents arrive as UTF-16 bytes, often without a
        // byte-order mark or declaration, which the XML parser would take
        // for UTF-8: recognise them by the zero byte beside the first character.
        if (data && count >= 2 && !(data[0] == 0xFF && data[1] == 0xFE) && !(data[0] == 0xFE && data[1] == 0xFF)) {
            if (data[0] != 0 && data[1] == 0)
                source.setEncoding(u"UTF-16LE");
            else if (data[0] == 0 && data[1] != 0)
                source.setEncoding(u"UTF-16BE");
        }
        parser.parse(source);
    }

    DOMDocument* document = parser.getDocument();
    DOMElement* top = document ? document->getDocumentElement() : nullptr;
    if (!top)
        return;
    GetLumoFromDOM(creator, top);
}

void CVParser::GetLumoFromDOM(CVXMLCreator& creator, DOMNode* node)
{
    bool accepted = false;
    std::wstring name;
    if (node->getNodeType() == DOMNode::ELEMENT_NODE) {
        auto* element = static_cast<DOMElement*>(node);
        name = ToWide(element->getTagName());
        DOMNamedNodeMap* attributes = element->getAttributes();
        XMLSize_t count = attributes ? attributes->getLength() : 0;
        if (count > 0) {
            if (const XMLCh* use = element->getAttribute(u"USE"); use && *use) {
                creator.UseNode(ToWide(use), name);
                return;
            }
        }
        accepted = creator.BeginElement(name) != 0;
        if (accepted && count > 0) {
            if (const XMLCh* def = element->getAttribute(u"DEF"); def && *def)
                creator.SetDEF(ToWide(def));
            for (XMLSize_t i = 0; i < count; ++i) {
                DOMNode* attribute = attributes->item(i);
                if (creator.BeginField(ToWide(attribute->getNodeName()))) {
                    creator.SetFieldValue(ToWide(attribute->getNodeValue()));
                    creator.EndField();
                }
            }
        }
    } else if (node->getNodeType() == DOMNode::TEXT_NODE && creator.WantsText()) {
        creator.AddText(ToWide(node->getNodeValue()));
    }
    for (DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        GetLumoFromDOM(creator, child);
    if (accepted)
        creator.EndElement(name);
}

void CVParser::GetFilename(const std::wstring& location, std::wstring& fileName, int& flag)
{
    flag = 0;
    auto scheme = location.find(L"://");
    bool isUrl = scheme != std::wstring::npos && scheme > 1;
    bool isFileUrl = isUrl && location.compare(0, 7, L"file://") == 0;
    if (!isUrl || isFileUrl)
        fileName = location;
}

void CVParser::GetHTMLString(CVMFString& strings, std::vector<CVRichTextFragment>* fragments)
{
    if (strings.GetNum() == 0)
        return;
    std::wstring wrapped =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><MyTopLevel>" + strings[0] + L"</MyTopLevel>";
    // UTF-16LE bytes, as the markup is handed to the XML parser.
    std::u16string utf16 = ToXml(wrapped);
    std::vector<unsigned char> data;
    data.reserve(utf16.size() * 2 + 2);
    for (char16_t c : utf16) {
        data.push_back(static_cast<unsigned char>(c & 0xFF));
        data.push_back(static_cast<unsigned char>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    CVTextCreator creator(fragments);
    try {
        CVParser().ParseXML(std::wstring(), data.data(), unsigned(data.size()), creator);
    } catch (...) {
        return; // markup that does not parse leaves the strings alone
    }
    if (creator.GetStrings().empty())
        return;
    strings.RemoveAll();
    for (const std::wstring& s : creator.GetStrings())
        strings.Add(s);
}
