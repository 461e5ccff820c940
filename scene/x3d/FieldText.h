// Field values as document text, in the writer's formats: booleans "TRUE" /
// "FALSE", integers "%d", floats "%g" (or "%f" where named), lists with a
// blank after each value, string lists quoted and escaped so that the reader
// gets them back. A float whose formatted text would not read back as the
// same value is written in the shortest form that does.
#pragma once

#include "scene/model/MFields.h"
#include "scene/model/SFields.h"

#include <string>

namespace lumo::x3d {

std::wstring BoolText(int value);
std::wstring IntText(int value);
std::wstring FloatText(float value);                         // "%g"
std::wstring FixedText(const float* values, int count);      // "%f" each, blank-separated
std::wstring Vec2Text(const Point2fStruct& v);               // "%g %g"
std::wstring Vec3Text(float x, float y, float z);            // "%g %g %g"
std::wstring RotationText(const CVRotation& r);              // "%g %g %g %g" (axis, angle)

std::wstring ListText(const CVMFFloat& list);
std::wstring ListText(const CVMFInt32& list);
std::wstring ListText(const CVMFVec2f& list);
std::wstring ListText(const CVMFVec3f& list);
std::wstring ListText(const CVMFColor& list); // alpha is not written
std::wstring ListText(const CVMFRotation& list);
std::wstring ListText(const CVMFString& list);

// Backslashes doubled, then double quotes preceded by a backslash.
std::wstring InsertEscapes(const std::wstring& text);
bool StringNeedsEscaping(const std::wstring& text);

// Any value field as text (a single string escaped like a list's); false
// for node fields and the reserved image and time fields.
bool FieldText(const CVField& field, std::wstring& text);

} // namespace lumo::x3d
