#include "scene/model/Color.h"

#include "scene/model/ColorTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <optional>

using namespace lumo::color;

namespace {

struct Rgb {
    double r, g, b;
};

int ToByte(double v)
{
    // The small bias keeps byte values that went through /255 and *255 exact.
    return std::clamp(int(v * 255.0 + 1e-6), 0, 255);
}

COLORREF Pack(const Rgb& c)
{
    return COLORREF(ToByte(c.r)) | (COLORREF(ToByte(c.g)) << 8) | (COLORREF(ToByte(c.b)) << 16);
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Reads 'count' hexadecimal digits at 'pos' (upper-case text).
std::optional<unsigned> Hex(const std::wstring& s, size_t pos, size_t count)
{
    if (pos + count > s.size())
        return std::nullopt;
    unsigned v = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        int d = HexDigit(s[i]);
        if (d < 0)
            return std::nullopt;
        v = v * 16 + unsigned(d);
    }
    return v;
}

bool StartsWith(const std::wstring& s, size_t pos, const char* prefix)
{
    size_t n = std::strlen(prefix);
    if (pos + n > s.size())
        return false;
    for (size_t i = 0; i < n; ++i)
        if (s[pos + i] != wchar_t(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

Rgb FromBytes(unsigned rgb) // 0xRRGGBB
{
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// Hue 0 is blue, 120 red, 240 green.
Rgb Hls(double hue, double l, double s)
{
    if (s == 0.0)
        return {l, l, l};
    double m2 = l <= 0.5 ? l + s * l : l + s * (1.0 - l);
    double m1 = 2.0 * l - m2;
    auto v = [&](double x) {
        if (x > 360.0)
            x -= 360.0;
        else if (x < 0.0)
            x += 360.0;
        if (x < 60.0)
            return m1 + (m2 - m1) * x / 60.0;
        if (x < 180.0)
            return m2;
        if (x < 240.0)
            return m1 + (m2 - m1) * (240.0 - x) / 60.0;
        return m1;
    };
    double h = double((static_cast<long long>(hue) + 240) % 360);
    return {v(h + 120.0), v(h), v(h - 120.0)};
}

Rgb Hsv(double hue, double s, double v)
{
    if (s == 0.0)
        return {v, v, v};
    double h = hue / 60.0;
    int sector = int(std::floor(h));
    double f = h - sector;
    double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    case 5: return {v, p, q};
    default: return {0.5, 0.5, 0.5};
    }
}

const NamedColor* FindName(const NamedColor* table, size_t count, const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F)
            return nullptr;
        narrow += char(c);
    }
    const NamedColor* end = table + count;
    const NamedColor* it = std::lower_bound(
        table, end, narrow, [](const NamedColor& e, const std::string& n) { return n.compare(e.name) > 0; });
    return it != end && narrow == it->name ? it : nullptr;
}

Rgb FromNamed(const NamedColor& e) { return {e.r / 255.0, e.g / 255.0, e.b / 255.0}; }

struct Word {
    const char* text;
    int number;
};

// A colour-naming phrase: lightness, saturation, hue modifier and hue words.
std::optional<Rgb> Phrase(std::wstring t)
{
    std::replace(t.begin(), t.end(), L'-', L' ');
    std::replace(t.begin(), t.end(), L'_', L' ');
    static const Word lightness[] = {{"BLACK", 1}, {"VERY DARK", 2}, {"DARK", 3}, {"MEDIUM", 4},
                                     {"VERY LIGHT", 5}, {"LIGHT", 6}, {"WHITE", 7}};
    static const Word saturation[] = {{"GRAYISH", 1}, {"GRAY", 2}, {"MODERATE", 3}, {"STRONG", 4},
                                      {"VIVID", 5}};
    static const Word modifiers[] = {{"BLUISH", 1}, {"PURPLISH", 2}, {"REDDISH", 3}, {"ORANGISH", 4},
                                     {"BROWNISH", 5}, {"YELLOWISH", 6}, {"GREENISH", 7}};
    static const Word hues[] = {{"BLUE", 1}, {"PURPLE", 2}, {"RED", 3}, {"ORANGE", 4},
                                {"BROWN", 5}, {"YELLOW", 6}, {"GREEN", 7}};
    size_t pos = 0;
    auto match = [&](const auto& words) {
        while (pos < t.size() && t[pos] == L' ')
            ++pos;
        for (const Word& w : words)
            if (StartsWith(t, pos, w.text)) {
                pos += std::strlen(w.text);
                return w.number;
            }
        return 0;
    };
    int light = match(lightness);
    int sat = match(saturation);
    int mod = match(modifiers);
    int hue1 = match(hues);
    int hue2 = mod == 0 ? match(hues) : 0;
    if (!light && !sat && !mod && !hue1)
        return std::nullopt;
    if (!mod && !hue1 && light != 1 && light != 7 && sat != 2)
        return std::nullopt;

    static const double lightValues[] = {0.5, 0.0, 0.25, 0.37, 0.5, 0.83, 0.67, 1.0};
    static const double satValues[] = {1.0, 0.25, 0.0, 0.5, 0.75, 1.0};
    static const double angles[] = {0, 0, 60, 120, 160, 160, 180, 240};
    const int blue = 1, green = 7;
    auto angle = [&](int word, int other) {
        return word == blue && other == green ? 360.0 : angles[word];
    };

    double hue = 0.0;
    if (hue1 && hue2)
        hue = (angle(hue1, hue2) + angle(hue2, hue1)) / 2.0;
    else if (mod && hue1) {
        double h = angle(hue1, mod), m = angle(mod, hue1);
        hue = h - (h - m) * 0.25;
        if (hue < 0.0)
            hue += 360.0;
    } else if (hue1)
        hue = angles[hue1];
    else if (mod)
        hue = angles[mod];
    hue = std::fmod(hue, 360.0);
    return Hls(hue, lightValues[light], satValues[sat]);
}

// An abbreviated colour-naming code: optional modifier, up to three hues.
std::optional<Rgb> ColorCode(const std::wstring& t)
{
    size_t pos = 0;
    int mod = 0;
    for (int i = 0; i < 13; ++i)
        if (StartsWith(t, 0, kModifierCodes[i])) {
            mod = i + 1;
            pos = std::strlen(kModifierCodes[i]);
            break;
        }
    int hues[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        int found = 0;
        for (int j = 0; j < 15 && !found; ++j)
            if (StartsWith(t, pos, kHueCodes[j])) {
                found = j + 1;
                pos += std::strlen(kHueCodes[j]);
            }
        if (!found)
            break;
        hues[count++] = found;
    }
    if (count == 0 || (pos < t.size() && t[pos] != L' '))
        return std::nullopt;
    CodedColor key{static_cast<unsigned char>(mod * 16 + hues[0]),
                   static_cast<unsigned char>(hues[1] * 16 + hues[2]), 0, 0, 0};
    auto less = [](const CodedColor& a, const CodedColor& b) {
        return a.key0 != b.key0 ? a.key0 < b.key0 : a.key1 < b.key1;
    };
    const CodedColor* end = kColorCodes + kColorCodeCount;
    const CodedColor* it = std::lower_bound(kColorCodes, end, key, less);
    if (it == end || it->key0 != key.key0 || it->key1 != key.key1)
        return std::nullopt;
    return Rgb{it->r / 255.0, it->g / 255.0, it->b / 255.0};
}

std::optional<Rgb> Parse(const std::wstring& t)
{
    const size_t n = t.size();
    // 1. CMYK bytes.
    if (n == 8)
        if (auto v = Hex(t, 0, 8)) {
            double c = ((*v >> 24) & 0xFF) / 255.0, m = ((*v >> 16) & 0xFF) / 255.0;
            double y = ((*v >> 8) & 0xFF) / 255.0, k = (*v & 0xFF) / 255.0;
            return Rgb{1.0 - std::min(1.0, c + k), 1.0 - std::min(1.0, m + k), 1.0 - std::min(1.0, y + k)};
        }
    // 2.-4. "#RRGGBB", "CXRRGGBB", "0XRRGGBB", "0X00RRGGBB".
    if (n == 7 && t[0] == L'#')
        if (auto v = Hex(t, 1, 6))
            return FromBytes(*v);
    if (n == 8 && (StartsWith(t, 0, "CX") || StartsWith(t, 0, "0X")))
        if (auto v = Hex(t, 2, 6))
            return FromBytes(*v);
    if (n == 10 && StartsWith(t, 0, "0X00"))
        if (auto v = Hex(t, 4, 6))
            return FromBytes(*v);
    // 5. "H" hue, lightness, saturation.
    if (n == 8 && t[0] == L'H')
        if (auto v = Hex(t, 1, 7))
            return Hls(double(*v >> 16), ((*v >> 8) & 0xFF) / 255.0, (*v & 0xFF) / 255.0);
    // 6. "GRAY" and a grey level byte.
    if (n >= 6 && StartsWith(t, 0, "GRAY") && t[4] != L' ')
        if (auto v = Hex(t, 4, 2))
            return Rgb{*v / 255.0, *v / 255.0, *v / 255.0};
    // 7.-8. Colour names.
    if (const NamedColor* e = FindName(kUpperNames, kUpperNameCount, t))
        return FromNamed(*e);
    std::wstring lower = t;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
    if (const NamedColor* e = FindName(kLowerNames, kLowerNameCount, lower))
        return FromNamed(*e);
    // 9.-10. Naming phrases and codes.
    if (auto c = Phrase(t))
        return c;
    if (auto c = ColorCode(t))
        return c;
    // 11. "V" hue, saturation, value.
    if (n == 8 && t[0] == L'V')
        if (auto v = Hex(t, 1, 7))
            return Hsv(double(*v >> 16), ((*v >> 8) & 0xFF) / 255.0, (*v & 0xFF) / 255.0);
    return std::nullopt;
}

} // namespace

RGBColorStruct ColorrefToRGB(COLORREF c)
{
    return {GetRValue(c) / 255.0f, GetGValue(c) / 255.0f, GetBValue(c) / 255.0f};
}

RGBAColorStruct ColorrefToRGBA(COLORREF c)
{
    return {GetRValue(c) / 255.0f, GetGValue(c) / 255.0f, GetBValue(c) / 255.0f, 1.0f};
}

namespace {
// Truncates like the plain conversion, but a channel outside 0..1 must not
// spill into its neighbour's byte.
BYTE Channel(float v) { return BYTE(std::clamp(int(v * 255.0f), 0, 255)); }
} // namespace

COLORREF RGBToColorref(const RGBColorStruct& c)
{
    return PALETTERGB(Channel(c.red), Channel(c.green), Channel(c.blue));
}

COLORREF RGBAToColorref(const RGBAColorStruct& c)
{
    return PALETTERGB(Channel(c.red), Channel(c.green), Channel(c.blue));
}

std::wstring ConvertColorToString(COLORREF c)
{
    wchar_t buf[16];
    std::swprintf(buf, 16, L"0x%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

std::wstring ConvertColorToUserString(COLORREF c)
{
    auto search = [&](const NamedColor* table, size_t count) -> const char* {
        for (size_t i = 0; i < count; ++i)
            if (table[i].r == GetRValue(c) && table[i].g == GetGValue(c) && table[i].b == GetBValue(c))
                return table[i].name;
        return nullptr;
    };
    const char* name = search(kLowerNames, kLowerNameCount);
    if (!name)
        name = search(kUpperNames, kUpperNameCount);
    if (!name)
        return ConvertColorToString(c);
    return std::wstring(name, name + std::strlen(name));
}

COLORREF ConvertStringToColor(const std::wstring& text)
{
    std::wstring upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t ch) { return wchar_t(std::towupper(ch)); });
    if (auto c = Parse(upper))
        return Pack(*c);
    return 0;
}
