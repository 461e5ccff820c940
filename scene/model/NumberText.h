// Fast readings of numbers written as plain decimal text, for long number
// lists. Each reads a whole token [begin, end) and gives exactly the value
// the wide-character scan formats (%d, %f) and wcstod give in the "C"
// numeric locale, the one documents are written in. It returns false,
// leaving the value alone, for any token it does not read that way (signs
// it does not expect, hexadecimal, infinities, text around the number,
// values out of range), which callers then read the slow way.
#pragma once

namespace lumo::text {

// An optional sign and 1 to 9 digits.
bool ReadPlainInt(const wchar_t* begin, const wchar_t* end, int& value);
// Decimal text with an optional '-', fraction and exponent, as "%f" reads it.
bool ReadPlainFloat(const wchar_t* begin, const wchar_t* end, float& value);
// The same as wcstod reads it.
bool ReadPlainDouble(const wchar_t* begin, const wchar_t* end, double& value);
// The same for UTF-16 text (as the XML library holds a document).
bool ReadPlainInt(const char16_t* begin, const char16_t* end, int& value);
bool ReadPlainFloat(const char16_t* begin, const char16_t* end, float& value);
bool ReadPlainDouble(const char16_t* begin, const char16_t* end, double& value);

} // namespace lumo::text
