// Conversion between the library's wide strings and the XML library's UTF-16
// strings; the only place where the two meet.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>

namespace lumo::xml {

std::wstring ToWide(const XMLCh* text);
std::u16string ToXml(const std::wstring& text);

} // namespace lumo::xml
