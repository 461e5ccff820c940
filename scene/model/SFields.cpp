#include "scene/model/SFields.h"

#include <cstdlib>
#include <cwchar>
#include <cwctype>

LUMO_IMPLEMENT_CLASS(CVField, CVBase)
LUMO_IMPLEMENT_CLASS(CVSField, CVField)
LUMO_IMPLEMENT_CLASS(CVMField, CVField)
LUMO_IMPLEMENT_CLASS(CVSFBool, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFColor, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFFloat, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFImage, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFInt32, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFRotation, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFString, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFTime, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFVec2f, CVSField)
LUMO_IMPLEMENT_CLASS(CVSFVec3f, CVSField)

// The scans below start from the current values, so a component the text
// does not supply keeps its value: like swscanf("%f%f%f"), reading stops at
// the first text that is not a number. (wcstof after skipping white space is
// what "%f" does, without the cost of the format machinery.)
namespace {

bool ReadNumber(const wchar_t*& p, float& value)
{
    wchar_t* end = nullptr;
    float v = std::wcstof(p, &end);
    if (end == p)
        return false;
    value = v;
    p = end;
    return true;
}

bool ReadNumber(const wchar_t*& p, int& value)
{
    wchar_t* end = nullptr;
    long v = std::wcstol(p, &end, 10);
    if (end == p)
        return false;
    value = int(v);
    p = end;
    return true;
}

// Reads the numbers in order, stopping at the first that does not parse.
template <class... T>
void ScanNumbers(const wchar_t* text, T&... out)
{
    bool ok = true;
    ((ok = ok && ReadNumber(text, out)), ...);
}

} // namespace

int CVSFBool::SetValue(int v)
{
    mValue = v;
    return 1;
}

int CVSFBool::SetValue(const wchar_t* text)
{
    if (!text)
        return 1;
    const wchar_t* expected = L"TRUE";
    size_t i = 0;
    for (; text[i] && expected[i]; ++i)
        if (wchar_t(std::towupper(text[i])) != expected[i])
            break;
    mValue = text[i] == 0 && expected[i] == 0;
    return 1;
}

int CVSFColor::SetValue(float r, float g, float b)
{
    mValue = {r, g, b};
    return 1;
}

int CVSFColor::SetValue(const RGBColorStruct& v)
{
    mValue = v;
    return 1;
}

int CVSFColor::SetValue(const wchar_t* text)
{
    if (text)
        ScanNumbers(text, mValue.red, mValue.green, mValue.blue);
    return 1;
}

int CVSFFloat::SetValue(float v)
{
    mValue = v;
    return 1;
}

int CVSFFloat::SetValue(const wchar_t* text)
{
    if (text)
        ScanNumbers(text, mValue);
    return 1;
}

void CVSFImage::Clone(const CVSFImage& other)
{
    mWidth = other.mWidth;
    mHeight = other.mHeight;
    mComponents = other.mComponents;
    mPixels = other.mPixels;
}

int CVSFInt32::SetValue(int v)
{
    mValue = v;
    return 1;
}

int CVSFInt32::SetValue(const wchar_t* text)
{
    if (text)
        ScanNumbers(text, mValue);
    return 1;
}

int CVSFRotation::SetValue(const wchar_t* text)
{
    if (text) {
        ScanNumbers(text, mValue.x, mValue.y, mValue.z, mValue.angle);
    }
    return 1;
}

int CVSFString::SetValue(const wchar_t* text)
{
    mValue = text ? text : L"";
    return 1;
}

int CVSFString::SetValue(const std::wstring& text)
{
    mValue = text;
    return 1;
}

int CVSFTime::SetValue(double v)
{
    mValue = v;
    return 1;
}

int CVSFTime::SetValue(const char* text)
{
    if (!text)
        return 1;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end != text)
        mValue = v;
    return 1;
}

int CVSFVec2f::SetValue(float x, float y)
{
    mValue = {x, y};
    return 1;
}

int CVSFVec2f::SetValue(const Point2fStruct& v)
{
    mValue = v;
    return 1;
}

int CVSFVec2f::SetValue(const wchar_t* text)
{
    if (text)
        ScanNumbers(text, mValue.x, mValue.y);
    return 1;
}

int CVSFVec3f::SetValue(float x, float y, float z)
{
    mValue = {x, y, z};
    return 1;
}

int CVSFVec3f::SetValue(const Point3fStruct& v)
{
    mValue = v;
    return 1;
}

int CVSFVec3f::SetValue(const wchar_t* text)
{
    if (text)
        ScanNumbers(text, mValue.x, mValue.y, mValue.z);
    return 1;
}
