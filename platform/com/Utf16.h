// Conversions between the library's wide text (UTF-32 wchar_t here) and the
// UTF-16 code units that automation strings carry.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// Code points above U+FFFF become surrogate pairs; values that are not
// Unicode scalar values (surrogates, above U+10FFFF) become U+FFFD.
std::u16string ToUtf16(std::wstring_view text);
// Surrogate pairs are joined; an unpaired surrogate becomes U+FFFD.
std::wstring FromUtf16(std::u16string_view text);
// UTF-8 forms, for files; the same replacement rules apply.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

} // namespace lumo
