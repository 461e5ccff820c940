#include "scene/x3d/FieldText.h"

#include <charconv>
#include <cmath>
#include <cwchar>

namespace lumo::x3d {

namespace {

// Whether the text reads back as exactly the value, by both conversions
// the reader uses (a float scan for single values, a double conversion
// narrowed to float for lists).
bool ReadsBackAs(const wchar_t* text, float value)
{
    return std::wcstof(text, nullptr) == value && float(std::wcstod(text, nullptr)) == value;
}

// The value in the format; when that form would not read back as the same
// float (six decimals lose small values, six digits large ones), the
// shortest form that does.
void Append(std::wstring& out, const wchar_t* format, float a)
{
    wchar_t buf[64];
    int n = std::swprintf(buf, 64, format, double(a));
    if (n > 0 && (!std::isfinite(a) || ReadsBackAs(buf, a))) {
        out.append(buf, size_t(n));
        return;
    }
    char shortest[32];
    auto result = std::to_chars(shortest, shortest + sizeof shortest, a);
    std::wstring candidate(shortest, result.ptr);
    if (result.ec != std::errc() || !ReadsBackAs(candidate.c_str(), a)) {
        n = std::swprintf(buf, 64, L"%.9g", double(a)); // nine digits always read back
        candidate.assign(buf, size_t(n > 0 ? n : 0));
    }
    out += candidate;
}

std::wstring G(float v)
{
    std::wstring s;
    Append(s, L"%g", v);
    return s;
}

} // namespace

std::wstring BoolText(int value) { return value ? L"TRUE" : L"FALSE"; }

std::wstring IntText(int value) { return std::to_wstring(value); }

std::wstring FloatText(float value) { return G(value); }

std::wstring FixedText(const float* values, int count)
{
    std::wstring s;
    for (int i = 0; i < count; ++i) {
        if (i)
            s += L' ';
        Append(s, L"%f", values[i]);
    }
    return s;
}

std::wstring Vec2Text(const Point2fStruct& v) { return G(v.x) + L" " + G(v.y); }

std::wstring Vec3Text(float x, float y, float z) { return G(x) + L" " + G(y) + L" " + G(z); }

std::wstring RotationText(const CVRotation& r) { return G(r.x) + L" " + G(r.y) + L" " + G(r.z) + L" " + G(r.angle); }

namespace {
// Each element's text followed by one blank.
template <class List, class Format>
std::wstring Join(const List& list, Format format)
{
    std::wstring s;
    for (int i = 0; i < list.GetNum(); ++i)
        s += format(list[i]) + L" ";
    return s;
}
} // namespace

std::wstring ListText(const CVMFFloat& list) { return Join(list, G); }
std::wstring ListText(const CVMFInt32& list) { return Join(list, [](int v) { return std::to_wstring(v); }); }
std::wstring ListText(const CVMFVec2f& list) { return Join(list, Vec2Text); }
std::wstring ListText(const CVMFVec3f& list)
{
    return Join(list, [](const Point3fStruct& p) { return Vec3Text(p.x, p.y, p.z); });
}
std::wstring ListText(const CVMFColor& list) // alpha is not written
{
    return Join(list, [](const RGBAColorStruct& c) { return Vec3Text(c.red, c.green, c.blue); });
}
std::wstring ListText(const CVMFRotation& list) { return Join(list, RotationText); }
std::wstring ListText(const CVMFString& list)
{
    return Join(list, [](const std::wstring& t) { return L"\"" + InsertEscapes(t) + L"\""; });
}

bool StringNeedsEscaping(const std::wstring& text) { return text.find_first_of(L"\\\"") != std::wstring::npos; }

std::wstring InsertEscapes(const std::wstring& text)
{
    if (!StringNeedsEscaping(text))
        return text;
    std::wstring out;
    out.reserve(text.size() + 8);
    for (wchar_t c : text) { // one pass gives the same result as the two replacements
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'"')
            out += L"\\\"";
        else
            out += c;
    }
    return out;
}

bool FieldText(const CVField& field, std::wstring& text)
{
    switch (field.GetType()) {
    case SFBOOL: text = BoolText(static_cast<const CVSFBool&>(field).GetValue()); return true;
    case SFINT32: text = IntText(static_cast<const CVSFInt32&>(field).GetValue()); return true;
    case SFFLOAT: text = FloatText(static_cast<const CVSFFloat&>(field).GetValue()); return true;
    case SFVEC2F: text = Vec2Text(static_cast<const CVSFVec2f&>(field).GetValue()); return true;
    case SFVEC3F: {
        const Point3fStruct& v = static_cast<const CVSFVec3f&>(field).GetValue();
        text = Vec3Text(v.x, v.y, v.z);
        return true;
    }
    case SFCOLOR: {
        const RGBColorStruct& c = static_cast<const CVSFColor&>(field).GetValue();
        text = Vec3Text(c.red, c.green, c.blue);
        return true;
    }
    case SFROTATION: text = RotationText(static_cast<const CVSFRotation&>(field).GetValue()); return true;
    case SFSTRING: text = InsertEscapes(static_cast<const CVSFString&>(field).GetValue()); return true;
    case MFFLOAT: text = ListText(static_cast<const CVMFFloat&>(field)); return true;
    case MFINT32: text = ListText(static_cast<const CVMFInt32&>(field)); return true;
    case MFVEC2F: text = ListText(static_cast<const CVMFVec2f&>(field)); return true;
    case MFVEC3F: text = ListText(static_cast<const CVMFVec3f&>(field)); return true;
    case MFCOLOR: text = ListText(static_cast<const CVMFColor&>(field)); return true;
    case MFROTATION: text = ListText(static_cast<const CVMFRotation&>(field)); return true;
    case MFSTRING: text = ListText(static_cast<const CVMFString&>(field)); return true;
    default: return false;
    }
}

} // namespace lumo::x3d
