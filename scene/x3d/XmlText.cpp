#include "scene/x3d/XmlText.h"

#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

namespace lumo::xml {

std::wstring ToWide(const XMLCh* text)
{
    std::wstring out;
    if (!text)
        return out;
    const XMLCh* end = text;
    while (*end)
        ++end;
    out.reserve(size_t(end - text));
    for (const XMLCh* p = text; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
            ++p;
        }
        out += wchar_t(c);
    }
    return out;
}

std::u16string ToXml(const std::wstring& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = char32_t(wc);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::u16string ToXmlContent(const std::wstring& text)
{
    for (wchar_t c : text)
        if (!IsXmlChar(char32_t(c))) {
            std::wstring clean(text);
            for (wchar_t& d : clean)
                if (!IsXmlChar(char32_t(d)))
                    d = wchar_t(0xFFFD);
            return ToXml(clean);
        }
    return ToXml(text);
}

void RaiseParseError(const std::wstring& message, const std::wstring& systemId)
{
    std::u16string m = ToXml(message), id = ToXml(systemId);
    throw xercesc::SAXParseException(m.c_str(), u"", id.c_str(), 0, 0);
}

bool PlatformReady()
{
    static const bool ready = [] {
        try {
            xercesc::XMLPlatformUtils::Initialize();
            return true;
        } catch (const xercesc::XMLException&) {
            return false; // nobody to tell: reading yields empty roots, writing nothing
        }
    }();
    static const struct Terminator {
        ~Terminator()
        {
            if (ready)
                xercesc::XMLPlatformUtils::Terminate();
        }
    } terminator;
    return ready;
}

} // namespace lumo::xml
