// Conversion between the library's wide strings and the XML library's UTF-16
// strings; the only place where the two meet.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>

namespace lumo::xml {

std::wstring ToWide(const XMLCh* text);
std::u16string ToXml(const std::wstring& text);
// The text as XML 1.0 can carry it: every character a document may not
// hold (control characters other than tab, line feed and carriage return,
// surrogates, U+FFFE, U+FFFF, values past U+10FFFF) becomes U+FFFD.
std::u16string ToXmlContent(const std::wstring& text);
bool IsXmlChar(char32_t c);

// Raises the reader's one exception, the XML library's parse exception,
// with the message (and the document's name, when known).
[[noreturn]] void RaiseParseError(const std::wstring& message, const std::wstring& systemId = std::wstring());

// The XML platform, set up once for the process and torn down at unload
// (a parse exception that reaches a caller must not outlive the platform
// its message was allocated from); false when it could not be set up.
bool PlatformReady();

} // namespace lumo::xml
