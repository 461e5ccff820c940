#include "platform/com/Utf16.h"

#include "platform/text/Utf8.h"

namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

} // namespace

std::u16string lumo::ToUtf16(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        char32_t c = char32_t(wc);
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c > 0x10FFFF)
            c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::wstring lumo::FromUtf16(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD;
        }
        out += wchar_t(c);
    }
    return out;
}

std::string lumo::Utf16ToUtf8(std::u16string_view text) { return ToUtf8(FromUtf16(text)); }

std::u16string lumo::Utf8ToUtf16(std::string_view text) { return ToUtf16(FromUtf8(std::string(text))); }
