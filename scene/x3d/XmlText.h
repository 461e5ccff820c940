// Conversion between the library's wide strings and the XML library's UTF-16
// strings; the only place where the two meet.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>

namespace lumo::xml {

std::wstring ToWide(const XMLCh* text);
std::u16string ToXml(const std::wstring& text);

// The XML platform, set up once for the process and torn down at unload
// (a parse exception that reaches a caller must not outlive the platform
// its message was allocated from); false when it could not be set up.
bool PlatformReady();

} // namespace lumo::xml
