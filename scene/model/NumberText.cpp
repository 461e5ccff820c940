#include "scene/model/NumberText.h"

#include <charconv>
#include <system_error>

namespace lumo::text {

namespace {

// The token as ASCII, when it is short and made only of the characters of
// plain decimal numbers; a leading '+' is left to the slow reading.
template <class Char>
bool PlainDecimal(const Char* begin, const Char* end, char (&out)[64], int& length)
{
    length = int(end - begin);
    if (length <= 0 || length >= int(sizeof out) || *begin == '+')
        return false;
    for (int i = 0; i < length; ++i) {
        const Char c = begin[i];
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
        out[i] = char(c);
    }
    return true;
}

template <class T, class Char>
bool ReadPlain(const Char* begin, const Char* end, T& value)
{
    char text[64];
    int length = 0;
    if (!PlainDecimal(begin, end, text, length))
        return false;
    T v{};
    const std::from_chars_result r = std::from_chars(text, text + length, v);
    if (r.ec != std::errc() || r.ptr != text + length)
        return false;
    value = v;
    return true;
}

template <class Char>
bool ReadInt(const Char* begin, const Char* end, int& value)
{
    const Char* p = begin;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    const long digits = long(end - p);
    if (digits < 1 || digits > 9)
        return false;
    int v = 0;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + int(*p - '0');
    }
    value = negative ? -v : v;
    return true;
}

} // namespace

bool ReadPlainInt(const wchar_t* begin, const wchar_t* end, int& value) { return ReadInt(begin, end, value); }
bool ReadPlainFloat(const wchar_t* begin, const wchar_t* end, float& value) { return ReadPlain(begin, end, value); }
bool ReadPlainDouble(const wchar_t* begin, const wchar_t* end, double& value) { return ReadPlain(begin, end, value); }
bool ReadPlainInt(const char16_t* begin, const char16_t* end, int& value) { return ReadInt(begin, end, value); }
bool ReadPlainFloat(const char16_t* begin, const char16_t* end, float& value) { return ReadPlain(begin, end, value); }
bool ReadPlainDouble(const char16_t* begin, const char16_t* end, double& value) { return ReadPlain(begin, end, value); }

} // namespace lumo::text
