// Reads X3D documents (XML encoding) from files, URLs or memory into a new
// root group. A document that cannot be opened, is not well-formed or is
// past the reader's bounds raises the XML library's parse exception
// (xercesc::SAXParseException) to the caller, and nothing else ever leaves
// the reader; nothing of the failed parse is left behind.
//
// Bounds: elements nest at most kMaxElementDepth deep; the scene is at most
// CVSceneGraphCreator::kMaxGraphDepth nodes deep and makes at most
// CVSceneGraphCreator::kMaxInstances node instances, shared nodes counted
// once per use; parsing may take at most kMemoryBudgetBase bytes plus
// kMemoryBudgetPerByte bytes per document byte (entity expansion included).
#pragma once

#include "scene/model/Base.h"
#include "scene/text/RichTextFragment.h"

#include <string>
#include <vector>

class CVGroup;
class CVMFString;
class CVXMLCreator;
namespace lumo::xml {
class BudgetMemoryManager;
}

namespace xercesc_3_2 {
class DOMNode;
}

class CVParser : public CVBase {
public:
    // Documents nested deeper than this are refused with the parse exception.
    static constexpr int kMaxElementDepth = 10000;
    static constexpr unsigned long long kMemoryBudgetBase = 256ull << 20;
    static constexpr unsigned long long kMemoryBudgetPerByte = 32;

    // Null for an empty path or one ending exactly in ".wrl" (the classic
    // encoding is not read); otherwise the document's root group. The path
    // may be a file name, a "file:" URL or a network URL (fetched through
    // the URL cache). The reader's messages are appended to 'messages'.
    CVGroup* Parse(const std::wstring& path, std::vector<std::wstring>* messages = nullptr);
    CVGroup* ParseXMLFile(const std::wstring& path);
    // Raw document bytes in any encoding the XML parser detects; wide text
    // (UTF-16 or the platform's 32-bit wchar_t) without a byte-order mark
    // is recognised by its zero bytes.
    CVGroup* ParseXMLBits(const void* bytes, unsigned int count);
    // A new root (reference count 0) holding the document's top-level nodes.
    CVGroup* ParseX3DXML(const std::wstring& path, const void* bytes, unsigned int count);
    // Parses the file (or, with an empty path, the bytes) and walks it with the receiver.
    void ParseXML(const std::wstring& path, const void* bytes, unsigned int count, CVXMLCreator& creator);

    // What the last parse skipped or dropped (unknown elements, USE names
    // that name nothing or would make a node its own descendant, nodes that
    // cannot stand where they are), one line per kind with its count.
    const std::vector<std::wstring>& GetMessages() const { return mMessages; }

    static void GetFilename(const std::wstring& location, std::wstring& fileName, int& flag);
    // Replaces 'strings' by the lines of the rich-text markup in its first
    // string and appends the formatted runs to 'fragments' (when given).
    // Markup that does not parse leaves 'strings' as it was.
    static void GetHTMLString(CVMFString& strings, std::vector<CVRichTextFragment>* fragments);

protected:
    void GetLumoFromDOM(CVXMLCreator& creator, xercesc_3_2::DOMNode* node);

private:
    void ParseAndWalk(const std::wstring& path, const void* bytes, unsigned int count, CVXMLCreator& creator,
                      lumo::xml::BudgetMemoryManager& memory);

    std::vector<std::wstring> mMessages;
};
