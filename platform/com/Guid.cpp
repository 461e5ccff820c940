#include "platform/com/Guid.h"

#include <cstring>

namespace {

int HexValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    return -1;
}

// Positions of the hyphens in "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
bool IsHyphenAt(std::size_t i) { return i == 9 || i == 14 || i == 19 || i == 24; }

template <class Char>
bool Parse(std::basic_string_view<Char> text, GUID* out)
{
    if (!out || text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    std::uint8_t bytes[16];
    int nibbles = 0;
    for (std::size_t i = 1; i < 37; ++i) {
        if (IsHyphenAt(i)) {
            if (text[i] != '-')
                return false;
            continue;
        }
        int v = HexValue(char32_t(text[i]));
        if (v < 0)
            return false;
        if (nibbles % 2 == 0)
            bytes[nibbles / 2] = std::uint8_t(v << 4);
        else
            bytes[nibbles / 2] |= std::uint8_t(v);
        ++nibbles;
    }
    // The text lists Data1..Data3 most significant byte first.
    GUID g;
    g.Data1 = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) | bytes[3];
    g.Data2 = std::uint16_t((bytes[4] << 8) | bytes[5]);
    g.Data3 = std::uint16_t((bytes[6] << 8) | bytes[7]);
    std::memcpy(g.Data4, bytes + 8, 8);
    *out = g;
    return true;
}

std::size_t Length(LPCOLESTR text)
{
    std::size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

} // namespace

bool lumo::ParseGuid(std::string_view text, GUID* out) { return Parse(text, out); }
bool lumo::ParseGuid(std::u16string_view text, GUID* out) { return Parse(text, out); }

std::string lumo::FormatGuid(const GUID& g)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "{";
    auto put = [&](std::uint64_t value, int nibbleCount) {
        for (int i = nibbleCount - 1; i >= 0; --i)
            s += digits[(value >> (4 * i)) & 0xF];
    };
    put(g.Data1, 8);
    s += '-';
    put(g.Data2, 4);
    s += '-';
    put(g.Data3, 4);
    s += '-';
    put(g.Data4[0], 2);
    put(g.Data4[1], 2);
    s += '-';
    for (int i = 2; i < 8; ++i)
        put(g.Data4[i], 2);
    s += '}';
    return s;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid)
{
    if (!text || !clsid)
        return E_INVALIDARG;
    return lumo::ParseGuid(std::u16string_view(text, Length(text)), clsid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT IIDFromString(LPCOLESTR text, IID* iid) { return CLSIDFromString(text, iid); }

int StringFromGUID2(const GUID& guid, LPOLESTR out, int size)
{
    if (!out || size < 39)
        return 0;
    std::string s = lumo::FormatGuid(guid);
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = OLECHAR(s[i]);
    out[s.size()] = 0;
    return int(s.size() + 1);
}

bool operator<(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1)
        return a.Data1 < b.Data1;
    if (a.Data2 != b.Data2)
        return a.Data2 < b.Data2;
    if (a.Data3 != b.Data3)
        return a.Data3 < b.Data3;
    return std::memcmp(a.Data4, b.Data4, 8) < 0;
}

std::size_t std::hash<GUID>::operator()(const GUID& g) const noexcept
{
    std::uint64_t h = (std::uint64_t(g.Data1) << 32) ^ (std::uint64_t(g.Data2) << 16) ^ g.Data3;
    for (int i = 0; i < 8; ++i)
        h = h * 1099511628211ull ^ g.Data4[i];
    return std::size_t(h);
}
