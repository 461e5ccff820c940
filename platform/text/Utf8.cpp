#include "platform/text/Utf8.h"

namespace lumo {

std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
            c = 0xFFFD;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra;
        char32_t c;
        if (b < 0x80) {
            extra = 0;
            c = b;
        } else if ((b >> 5) == 6) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b >> 4) == 14) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b >> 3) == 30) {
            extra = 3;
            c = b & 0x07;
        } else {
            out += wchar_t(0xFFFD);
            ++i;
            continue;
        }
        bool ok = i + size_t(extra) < n;
        for (int k = 1; ok && k <= extra; ++k) {
            auto cont = static_cast<unsigned char>(text[i + size_t(k)]);
            ok = (cont >> 6) == 2;
            c = (c << 6) | (cont & 0x3F);
        }
        if (!ok) {
            out += wchar_t(0xFFFD);
            ++i;
            continue;
        }
        out += wchar_t(c);
        i += size_t(extra) + 1;
    }
    return out;
}

} // namespace lumo
