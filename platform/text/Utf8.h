// UTF-8 for file names and byte streams; the library's text is wide.
#pragma once

#include <string>

namespace lumo {

std::string ToUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD.
std::wstring FromUtf8(const std::string& text);

} // namespace lumo
