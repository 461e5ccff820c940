// Reads X3D documents (XML encoding) from files or memory into a new root
// group. A document that cannot be opened or is not well-formed raises the
// XML library's parse exception (xercesc::SAXParseException) to the caller;
// nothing of the failed parse is left behind.
#pragma once

#include "scene/model/Base.h"
#include "scene/text/RichTextFragment.h"

#include <string>
#include <vector>

class CVGroup;
class CVMFString;
class CVXMLCreator;

namespace xercesc_3_2 {
class DOMNode;
}

class CVParser : public CVBase {
public:
    // Documents nested deeper than this are refused with the parse exception.
    static constexpr int kMaxElementDepth = 10000;

    // Null for an empty path or one ending exactly in ".wrl" (the classic
    // encoding is not read); otherwise the document's root group.
    CVGroup* Parse(const std::wstring& path, std::vector<std::wstring>* unused = nullptr);
    CVGroup* ParseXMLFile(const std::wstring& path);
    // Raw document bytes in any encoding the XML parser detects.
    CVGroup* ParseXMLBits(const void* bytes, unsigned int count);
    // A new root (reference count 0) holding the document's top-level nodes.
    CVGroup* ParseX3DXML(const std::wstring& path, const void* bytes, unsigned int count);
    // Parses the file (or, with an empty path, the bytes) and walks it with the receiver.
    void ParseXML(const std::wstring& path, const void* bytes, unsigned int count, CVXMLCreator& creator);

    static void GetFilename(const std::wstring& location, std::wstring& fileName, int& flag);
    // Replaces 'strings' by the lines of the rich-text markup in its first
    // string and appends the formatted runs to 'fragments' (when given).
    // Markup that does not parse leaves 'strings' as it was.
    static void GetHTMLString(CVMFString& strings, std::vector<CVRichTextFragment>* fragments);

protected:
    void GetLumoFromDOM(CVXMLCreator& creator, xercesc_3_2::DOMNode* node);
};
