// The DATE day count (days since 1899-12-30, time as the fraction) as
// calendar fields and as ISO-style text, for variant conversion.
#pragma once

#include "platform/com/ComTypes.h"

#include <string>
#include <string_view>

namespace lumo {

// Dates from year 100 to year 9999, as the automation day count allows.
constexpr DATE kMinDate = -657434.0; // 0100-01-01
constexpr DATE kMaxDate = 2958465.99999999; // 9999-12-31 23:59:59.999

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", or "HH:MM:SS" for a time on day 0;
// false when the value is out of range.
bool FormatDate(DATE date, std::u16string* text);
// Accepts the forms FormatDate writes, with "T" instead of the blank and
// the seconds optional, surrounded by blanks.
bool ParseDate(std::u16string_view text, DATE* date);

} // namespace lumo
