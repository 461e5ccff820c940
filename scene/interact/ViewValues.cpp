#include "scene/interact/ViewValues.h"

#include "platform/com/PropExchange.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>

const char* const CVViewValues::kNames[8] = {"Ctrl_XRot",  "Ctrl_YRot",   "Ctrl_ZRot",   "Ctrl_Dist",
                                             "Ctrl_Scale", "Ctrl_XTrans", "Ctrl_YTrans", "Ctrl_ZTrans"};

namespace {

float* Slots(CVViewValues& v, int i)
{
    float* slots[8] = {&v.rotX, &v.rotY, &v.rotZ, &v.distance, &v.scale, &v.tx, &v.ty, &v.tz};
    return slots[i];
}

bool SameNameIgnoringCase(const std::wstring& a, const char* b)
{
    std::size_t n = std::char_traits<char>::length(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::towlower(a[i]) != std::towlower(wchar_t(static_cast<unsigned char>(b[i]))))
            return false;
    return true;
}

std::wstring Trim(const std::wstring& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && std::iswspace(s[b]))
        ++b;
    while (e > b && std::iswspace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool Fail(std::wstring* error, const std::wstring& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

bool CVViewValues::operator==(const CVViewValues& o) const
{
    return rotX == o.rotX && rotY == o.rotY && rotZ == o.rotZ && distance == o.distance && scale == o.scale &&
           tx == o.tx && ty == o.ty && tz == o.tz;
}

bool CVViewValues::IsUsable() const
{
    CVViewValues copy = *this;
    for (int i = 0; i < 8; ++i)
        if (!std::isfinite(*Slots(copy, i)))
            return false;
    return scale > 0.0f;
}

std::wstring CVViewValues::ToText() const
{
    CVViewValues copy = *this;
    std::wstring text;
    for (int i = 0; i < 8; ++i) {
        // Nine significant digits give back every float exactly.
        char line[64];
        std::snprintf(line, sizeof line, "%s=%.9g\n", kNames[i], double(*Slots(copy, i)));
        for (const char* c = line; *c; ++c)
            text += wchar_t(*c);
    }
    return text;
}

bool CVViewValues::FromText(const std::wstring& text, CVViewValues& out, std::wstring* error)
{
    if (text.size() > kMaxTextLength)
        return Fail(error, L"view values: text longer than " + std::to_wstring(kMaxTextLength) + L" characters");
    CVViewValues read;
    bool seen[8] = {};
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty())
            continue;
        std::size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            return Fail(error, L"view values: line without '=': " + line);
        std::wstring name = Trim(line.substr(0, eq));
        std::wstring value = Trim(line.substr(eq + 1));
        int slot = -1;
        for (int i = 0; i < 8; ++i)
            if (SameNameIgnoringCase(name, kNames[i]))
                slot = i;
        if (slot < 0)
            return Fail(error, L"view values: unknown name " + name);
        if (seen[slot])
            return Fail(error, L"view values: " + name + L" given twice");
        if (value.empty())
            return Fail(error, L"view values: " + name + L" has no value");
        wchar_t* stop = nullptr;
        float f = std::wcstof(value.c_str(), &stop);
        if (stop != value.c_str() + value.size() || !std::isfinite(f))
            return Fail(error, L"view values: " + name + L" is not a finite number: " + value);
        *Slots(read, slot) = f;
        seen[slot] = true;
    }
    for (int i = 0; i < 8; ++i)
        if (!seen[i]) {
            std::wstring name;
            for (const char* c = kNames[i]; *c; ++c)
                name += wchar_t(*c);
            return Fail(error, L"view values: " + name + L" is missing");
        }
    if (!(read.scale > 0.0f))
        return Fail(error, L"view values: Ctrl_Scale must be positive");
    out = read;
    return true;
}

bool CVViewValues::Exchange(CPropExchange& px)
{
    CVViewValues next = *this;
    for (int i = 0; i < 8; ++i)
        px.Float(kNames[i], *Slots(next, i));
    if (!px.IsLoading())
        return px.Result() == S_OK;
    if (!next.IsUsable())
        return false;
    *this = next;
    return true;
}
