// The receiver of the document walk: the walk reports elements, attributes
// and text; a subclass builds something from them. The base accepts nothing.
#pragma once

#include <cstddef>
#include <string>

class CVXMLCreator {
public:
    virtual ~CVXMLCreator() = default;

    virtual void SetDEF(const std::wstring&) {}
    // Places the node named by a USE attribute; 0 when it does nothing.
    virtual int UseNode(const std::wstring& /*name*/, const std::wstring& /*element*/) { return 0; }
    // 1 when the element is accepted (its attributes and end are then reported).
    virtual int BeginElement(const std::wstring&) { return 0; }
    virtual void EndElement(const std::wstring&) {}
    virtual void AddText(const std::wstring&) {}
    virtual int WantsText() { return 0; }
    // 1 when the attribute is accepted (its value is then reported).
    virtual int BeginField(const std::wstring&) { return 0; }
    virtual void EndField() {}
    virtual void SetFieldValue(const std::wstring&) {}
    // The value as UTF-16 text straight from the document, for receivers
    // that read long values without a wide copy; false when the receiver
    // takes SetFieldValue instead.
    virtual bool SetFieldValueUtf16(const char16_t* /*text*/, std::size_t /*length*/) { return false; }
};
