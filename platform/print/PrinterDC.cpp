#include "platform/print/PrinterDC.h"

LOGFONTW MakeLogFont(const std::wstring& face, int height, int weight, bool italic, bool underline)
{
    LOGFONTW f{};
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfItalic = italic ? 1 : 0;
    f.lfUnderline = underline ? 1 : 0;
    int n = 0;
    for (wchar_t c : face) {
        bool pair = c > 0xFFFF;
        if (n + (pair ? 2 : 1) > LF_FACESIZE - 1)
            break;
        if (pair) {
            char32_t v = char32_t(c) - 0x10000;
            f.lfFaceName[n++] = WCHAR(0xD800 + (v >> 10));
            f.lfFaceName[n++] = WCHAR(0xDC00 + (v & 0x3FF));
        } else {
            f.lfFaceName[n++] = WCHAR(c);
        }
    }
    return f;
}

std::wstring FaceNameOf(const LOGFONTW& font)
{
    std::wstring out;
    for (int i = 0; i < LF_FACESIZE && font.lfFaceName[i]; ++i) {
        char16_t c = font.lfFaceName[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < LF_FACESIZE && font.lfFaceName[i + 1] >= 0xDC00 &&
            font.lfFaceName[i + 1] < 0xE000) {
            out += wchar_t(0x10000 + ((char32_t(c) - 0xD800) << 10) + (font.lfFaceName[i + 1] - 0xDC00));
            ++i;
        } else {
            out += wchar_t(c);
        }
    }
    return out;
}
