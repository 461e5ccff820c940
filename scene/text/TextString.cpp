#include "scene/text/TextString.h"

namespace lumo::text {

std::u32string ToCodePoints(const std::wstring& text)
{
    std::u32string out;
    out.reserve(text.size() < kMaxLineLength ? text.size() : kMaxLineLength);
    for (std::size_t i = 0; i < text.size() && out.size() < kMaxLineLength; ++i) {
        char32_t c = char32_t(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            char32_t low = char32_t(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            continue;
        if (c == U'\t')
            c = U' ';
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            continue;
        out.push_back(c);
    }
    return out;
}

void SplitLines(const std::wstring& text, std::vector<std::wstring>& lines)
{
    static const std::wstring kBreak = L"^[n]^";
    std::size_t start = 0;
    while (lines.size() < kMaxLines) {
        std::size_t feed = text.find(L'\n', start);
        std::size_t mark = text.find(kBreak, start);
        std::size_t end = feed < mark ? feed : mark;
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            return;
        }
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + (end == feed ? 1 : kBreak.size());
    }
}

void SetFaceName(char16_t (&out)[32], const std::wstring& name)
{
    std::size_t n = 0;
    for (wchar_t c : name) {
        if (n + 1 >= 32)
            break;
        // Only the basic plane fits one unit; a face name beyond it is cut there.
        if (c <= 0 || c > 0xFFFF)
            break;
        out[n++] = char16_t(c);
    }
    for (std::size_t i = n; i < 32; ++i)
        out[i] = 0;
}

std::wstring GetFaceName(const char16_t (&name)[32])
{
    std::wstring out;
    for (std::size_t i = 0; i < 32 && name[i]; ++i)
        out += wchar_t(name[i]);
    return out;
}

} // namespace lumo::text
