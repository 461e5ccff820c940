#include "scene/model/MFields.h"

#include "scene/model/NumberText.h"

#include <cwchar>

LUMO_IMPLEMENT_CLASS(CVMFColor, CVMField)
LUMO_IMPLEMENT_CLASS(CVMFFloat, CVMField)
LUMO_IMPLEMENT_CLASS(CVMFInt32, CVMField)
LUMO_IMPLEMENT_CLASS(CVMFRotation, CVMField)
LUMO_IMPLEMENT_CLASS(CVMFString, CVMField)
LUMO_IMPLEMENT_CLASS(CVMFVec2f, CVMField)
LUMO_IMPLEMENT_CLASS(CVMFVec3f, CVMField)

void lumo::ThrowBadFieldIndex(int index, int size)
{
    throw std::out_of_range("field index " + std::to_string(index) + " outside 0.." +
                            std::to_string(size - 1));
}

// Components may be separated by any run of blanks, tabs, line breaks and commas.
#define SEP L"%*[ \t\r\n,]"

int CVMFColor::Add(const wchar_t* text)
{
    RGBAColorStruct c{0.0f, 0.0f, 0.0f, 1.0f};
    if (text && std::swscanf(text, L"%f" SEP L"%f" SEP L"%f", &c.red, &c.green, &c.blue) == 3)
        Add(c);
    return 1;
}

// Plain numbers (nearly all of a document's) are read without the scan
// formats, which cost many times more; the result is the same.
int CVMFFloat::Add(const wchar_t* text)
{
    float v;
    if (text && (lumo::text::ReadPlainFloat(text, text + std::wcslen(text), v) || std::swscanf(text, L"%f", &v) == 1))
        Add(v);
    return 1;
}

int CVMFInt32::Add(const wchar_t* text)
{
    int v;
    if (text && (lumo::text::ReadPlainInt(text, text + std::wcslen(text), v) || std::swscanf(text, L"%d", &v) == 1))
        Add(v);
    return 1;
}

int CVMFRotation::Add(const wchar_t* text)
{
    float x, y, z, a;
    if (text && std::swscanf(text, L"%f" SEP L"%f" SEP L"%f" SEP L"%f", &x, &y, &z, &a) == 4)
        Add(CVRotation(x, y, z, a));
    return 1;
}

int CVMFVec2f::Add(const wchar_t* text)
{
    Point2fStruct p;
    if (text && std::swscanf(text, L"%f" SEP L"%f", &p.x, &p.y) == 2)
        Add(p);
    return 1;
}

int CVMFVec3f::Add(const wchar_t* text)
{
    Point3fStruct p;
    if (text && std::swscanf(text, L"%f" SEP L"%f" SEP L"%f", &p.x, &p.y, &p.z) == 3)
        Add(p);
    return 1;
}
