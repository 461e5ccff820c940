#include "scene/x3d/Parser.h"

#include "platform/text/Utf8.h"
#include "scene/io/SearchPath.h"
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
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLString.hpp>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

using namespace xercesc;
using lumo::xml::ToWide;
using lumo::xml::ToXml;

namespace lumo::xml {

// The parser's allocator: counts what the parser and its document hold and
// refuses past a budget, so that a small document of nested entities fails
// quickly instead of eating the machine's memory.
class BudgetMemoryManager : public MemoryManager {
public:
    void SetBudget(unsigned long long budget) { mBudget = budget; }

    MemoryManager* getExceptionMemoryManager() override { return XMLPlatformUtils::fgMemoryManager; }

    void* allocate(XMLSize_t size) override
    {
        if (size > mBudget - mUsed)
            throw OutOfMemoryException();
        auto* block = static_cast<unsigned char*>(::operator new(size + kHeader, std::nothrow));
        if (!block)
            throw OutOfMemoryException();
        std::memcpy(block, &size, sizeof size);
        mUsed += size;
        return block + kHeader;
    }

    void deallocate(void* p) override
    {
        if (!p)
            return;
        unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
        XMLSize_t size;
        std::memcpy(&size, block, sizeof size);
        mUsed -= size;
        ::operator delete(block);
    }

private:
    static constexpr std::size_t kHeader = alignof(std::max_align_t);
    unsigned long long mBudget = CVParser::kMemoryBudgetBase;
    unsigned long long mUsed = 0;
};

} // namespace lumo::xml

using lumo::xml::BudgetMemoryManager;

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

// Bounds the number of entity references expanded ("billion laughs"); the
// memory budget below bounds what the expansions may grow to.
const XMLSize_t kEntityExpansionLimit = 100000;

// The DOM parser with a bound on element nesting, checked as elements are
// scanned: a deeper document is refused before the walk (and every action on
// the scene, which recurses) could run out of stack.
class BoundedDOMParser : public XercesDOMParser {
public:
    explicit BoundedDOMParser(MemoryManager* memory) : XercesDOMParser(nullptr, memory) {}

    void startElement(const XMLElementDecl& decl, const unsigned int urlId, const XMLCh* const prefix,
                      const RefVectorOf<XMLAttr>& attributes, const XMLSize_t count, const bool isEmpty,
                      const bool isRoot) override
    {
        if (mDepth + 1 > CVParser::kMaxElementDepth)
            lumo::xml::RaiseParseError(L"The document nests elements more than " +
                                       std::to_wstring(CVParser::kMaxElementDepth) +
                                       L" levels deep; such documents are not read.");
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

unsigned long long FileSize(const std::wstring& path)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(lumo::ToUtf8(path), ec);
    return ec ? 0 : size;
}

// Text of the platform's wchar_t (UTF-32 here) as UTF-16LE bytes, up to the
// first zero character.
std::vector<XMLByte> Utf32ToUtf16Bytes(const XMLByte* data, unsigned int count)
{
    std::wstring text;
    for (unsigned int i = 0; i + 4 <= count; i += 4) {
        char32_t c = char32_t(data[i]) | char32_t(data[i + 1]) << 8 | char32_t(data[i + 2]) << 16 |
                     char32_t(data[i + 3]) << 24;
        if (c == 0)
            break;
        if (c == 0xFEFF && i == 0)
            continue; // byte-order mark
        text += wchar_t(c);
    }
    std::u16string utf16 = lumo::xml::ToXml(text);
    std::vector<XMLByte> bytes;
    bytes.reserve(utf16.size() * 2);
    for (char16_t c : utf16) {
        bytes.push_back(XMLByte(c & 0xFF));
        bytes.push_back(XMLByte(c >> 8));
    }
    return bytes;
}

bool LooksLikeUtf32LE(const XMLByte* data, unsigned int count)
{
    if (!data || count < 4)
        return false;
    if (data[0] == 0xFF && data[1] == 0xFE && data[2] == 0 && data[3] == 0)
        return true;
    return data[0] != 0 && data[1] == 0 && data[2] == 0 && data[3] == 0;
}

} // namespace

CVGroup* CVParser::Parse(const std::wstring& path, std::vector<std::wstring>* messages)
{
    if (path.empty() || EndsWith(path, L".wrl"))
        return nullptr;
    CVGroup* root = ParseX3DXML(path, nullptr, 0);
    if (messages)
        messages->insert(messages->end(), mMessages.begin(), mMessages.end());
    return root;
}

CVGroup* CVParser::ParseXMLFile(const std::wstring& path) { return ParseX3DXML(path, nullptr, 0); }

CVGroup* CVParser::ParseXMLBits(const void* bytes, unsigned int count)
{
    return ParseX3DXML(std::wstring(), bytes, count);
}

CVGroup* CVParser::ParseX3DXML(const std::wstring& path, const void* bytes, unsigned int count)
{
    // One document at a time: the walk uses the process-wide name spaces.
    std::lock_guard<std::recursive_mutex> lock(lumo::NameSpaceMutex());
    mMessages.clear();
    auto* root = new CVGroup;
    root->Ref();
    try {
        CVSceneGraphCreator creator(root);
        ParseXML(path, bytes, count, creator);
        creator.CheckBounds();
        mMessages = creator.Messages();
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
    // The parser's allocator outlives the exceptions the parser raises:
    // they free their text through it.
    BudgetMemoryManager memory;
    // Only the parse exception leaves the reader, and only with memory of
    // the process's own allocator: whatever else the XML library or the
    // walk raises becomes one, with what is known of it.
    try {
        ParseAndWalk(path, bytes, count, creator, memory);
    } catch (const SAXParseException& e) {
        throw SAXParseException(e.getMessage(), e.getPublicId(), e.getSystemId(), e.getLineNumber(),
                                e.getColumnNumber());
    } catch (const OutOfMemoryException&) {
        lumo::xml::RaiseParseError(L"The document needs more memory than the reader allows (entities that "
                                   L"expand too far, or a document too large); it is not read.",
                                   path);
    } catch (const XMLException& e) {
        lumo::xml::RaiseParseError(lumo::xml::ToWide(e.getMessage()), path);
    } catch (const SAXException& e) {
        lumo::xml::RaiseParseError(lumo::xml::ToWide(e.getMessage()), path);
    } catch (const DOMException& e) {
        lumo::xml::RaiseParseError(lumo::xml::ToWide(e.getMessage()), path);
    } catch (const std::bad_alloc&) {
        lumo::xml::RaiseParseError(L"Out of memory while reading the document.", path);
    } catch (const std::exception& e) {
        lumo::xml::RaiseParseError(lumo::FromUtf8(e.what()), path);
    } catch (...) {
        lumo::xml::RaiseParseError(L"The document could not be read.", path);
    }
}

void CVParser::ParseAndWalk(const std::wstring& path, const void* bytes, unsigned int count, CVXMLCreator& creator,
                            BudgetMemoryManager& memory)
{
    std::wstring file;
    if (!path.empty()) {
        file = lumo::LocalFileForLocation(path);
        if (file.empty())
            lumo::xml::RaiseParseError(L"The document " + path + L" could not be fetched.", path);
    }
    std::vector<XMLByte> converted;
    const auto* data = static_cast<const XMLByte*>(bytes);
    unsigned int size = bytes ? count : 0;
    if (path.empty() && LooksLikeUtf32LE(data, size)) {
        converted = Utf32ToUtf16Bytes(data, size);
        data = converted.data();
        size = unsigned(converted.size());
    }
    const unsigned long long inputSize = path.empty() ? size : FileSize(file);
    memory.SetBudget(kMemoryBudgetBase + kMemoryBudgetPerByte * inputSize);

    // Fatal errors (a missing file, a document that is not well-formed) are
    // raised as the parse exception; warnings and recoverable errors are not.
    HandlerBase errors;
    NoExternalResources resolver;
    SecurityManager security;
    security.setEntityExpansionLimit(kEntityExpansionLimit);
    BoundedDOMParser parser(&memory);
    parser.setValidationScheme(XercesDOMParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setDoSchema(false);
    parser.setLoadExternalDTD(false);
    parser.setXMLEntityResolver(&resolver);
    parser.setDisableDefaultEntityResolution(true);
    parser.setSecurityManager(&security);
    parser.setErrorHandler(&errors);

    if (!path.empty()) {
        std::u16string xmlPath = lumo::xml::ToXml(file);
        LocalFileInputSource source(xmlPath.c_str(), &memory);
        parser.parse(source);
    } else {
        MemBufInputSource source(data, size, "X3DBits", false, &memory);
        // Wide-character documents arrive as UTF-16 bytes, often without a
        // byte-order mark or declaration, which the XML parser would take
        // for UTF-8: recognise them by the zero byte beside the first character.
        if (!converted.empty())
            source.setEncoding(u"UTF-16LE");
        else if (data && size >= 2 && !(data[0] == 0xFF && data[1] == 0xFE) && !(data[0] == 0xFE && data[1] == 0xFF)) {
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
        // A USE attribute, even an empty one (which names nothing), makes the
        // element a reference: its other attributes and children are ignored.
        if (const DOMAttr* use = element->getAttributeNode(u"USE")) {
            creator.UseNode(ToWide(use->getValue()), name);
            return;
        }
        accepted = creator.BeginElement(name) != 0;
        if (accepted) {
            if (const DOMAttr* def = element->getAttributeNode(u"DEF"))
                creator.SetDEF(ToWide(def->getValue()));
            DOMNamedNodeMap* attributes = element->getAttributes();
            XMLSize_t count = attributes ? attributes->getLength() : 0;
            for (XMLSize_t i = 0; i < count; ++i) {
                DOMNode* attribute = attributes->item(i);
                if (creator.BeginField(ToWide(attribute->getNodeName()))) {
                    const XMLCh* value = attribute->getNodeValue();
                    if (!creator.SetFieldValueUtf16(value, value ? XMLString::stringLen(value) : 0))
                        creator.SetFieldValue(ToWide(value));
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
