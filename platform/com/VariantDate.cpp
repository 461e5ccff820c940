#include "platform/com/VariantDate.h"

#include "platform/com/Variant.h"

#include <cmath>
#include <cstdio>

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date, and back.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

void CivilFromDays(long long z, long long* y, unsigned* m, unsigned* d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = (long long)yoe + era * 400 + (*m <= 2);
}

// 1899-12-30 relative to 1970-01-01.
const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

bool IsLeap(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(long long y, unsigned m)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Negative day counts keep a positive time: -1.25 is 1899-12-29 06:00.
DATE Compose(long long days, double dayFraction)
{
    return days >= 0 ? double(days) + dayFraction : double(days) - dayFraction;
}

struct Fields {
    long long year;
    unsigned month, day, hour, minute, second, millisecond;
};

// Splits a day count into fields, rounding the time to milliseconds or, for
// text, to whole seconds.
bool Split(DATE date, Fields* f, bool wholeSeconds = false)
{
    if (!(date >= lumo::kMinDate && date <= lumo::kMaxDate))
        return false;
    double whole = std::trunc(date);
    double fraction = std::fabs(date - whole);
    long long ms = std::llround(fraction * 86400000.0);
    if (wholeSeconds)
        ms = (ms + 500) / 1000 * 1000;
    long long days = (long long)whole;
    if (ms >= 86400000) { // rounding reached the next day
        ms -= 86400000;
        days += date >= 0 ? 1 : -1;
    }
    CivilFromDays(days + kEpochOffset, &f->year, &f->month, &f->day);
    f->hour = unsigned(ms / 3600000);
    f->minute = unsigned(ms / 60000 % 60);
    f->second = unsigned(ms / 1000 % 60);
    f->millisecond = unsigned(ms % 1000);
    return true;
}

bool Join(const Fields& f, DATE* date)
{
    if (f.year < 100 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > DaysInMonth(f.year, f.month) ||
        f.hour > 23 || f.minute > 59 || f.second > 59 || f.millisecond > 999)
        return false;
    long long days = DaysFromCivil(f.year, f.month, f.day) - kEpochOffset;
    double time = ((f.hour * 60.0 + f.minute) * 60.0 + f.second + f.millisecond / 1000.0) / 86400.0;
    *date = Compose(days, time);
    return true;
}

// Reads exactly `digits` decimal digits at text[*pos].
bool ReadNumber(std::u16string_view text, std::size_t* pos, int digits, unsigned* value)
{
    unsigned v = 0;
    for (int i = 0; i < digits; ++i) {
        if (*pos >= text.size() || text[*pos] < u'0' || text[*pos] > u'9')
            return false;
        v = v * 10 + unsigned(text[(*pos)++] - u'0');
    }
    *value = v;
    return true;
}

bool ReadTime(std::u16string_view text, std::size_t* pos, Fields* f)
{
    if (!ReadNumber(text, pos, 2, &f->hour) || *pos >= text.size() || text[(*pos)++] != u':' ||
        !ReadNumber(text, pos, 2, &f->minute))
        return false;
    if (*pos < text.size() && text[*pos] == u':') {
        ++*pos;
        return ReadNumber(text, pos, 2, &f->second);
    }
    return true;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

} // namespace

bool lumo::FormatDate(DATE date, std::u16string* text)
{
    Fields f;
    if (!Split(date, &f, true))
        return false;
    char buffer[40];
    bool hasTime = f.hour || f.minute || f.second;
    if (std::trunc(date) == 0 && hasTime)
        std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u", f.hour, f.minute, f.second);
    else if (hasTime)
        std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u %02u:%02u:%02u", f.year, f.month, f.day, f.hour, f.minute,
                      f.second);
    else
        std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", f.year, f.month, f.day);
    text->assign(buffer, buffer + std::char_traits<char>::length(buffer));
    return true;
}

bool lumo::ParseDate(std::u16string_view text, DATE* date)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    Fields f{1899, 12, 30, 0, 0, 0, 0};
    std::size_t pos = 0;
    if (text.size() >= 3 && text[2] == u':') {
        if (!ReadTime(text, &pos, &f))
            return false;
    } else {
        unsigned year;
        if (!ReadNumber(text, &pos, 4, &year) || pos >= text.size() || text[pos++] != u'-' ||
            !ReadNumber(text, &pos, 2, &f.month) || pos >= text.size() || text[pos++] != u'-' ||
            !ReadNumber(text, &pos, 2, &f.day))
            return false;
        f.year = year;
        if (pos < text.size()) {
            if (text[pos] != u' ' && text[pos] != u'T')
                return false;
            ++pos;
            if (!ReadTime(text, &pos, &f))
                return false;
        }
    }
    if (pos != text.size())
        return false;
    return Join(f, date);
}

INT SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* date)
{
    if (!time || !date)
        return 0;
    Fields f{time->wYear, time->wMonth, time->wDay, time->wHour, time->wMinute, time->wSecond, time->wMilliseconds};
    return Join(f, date) ? 1 : 0;
}

INT VariantTimeToSystemTime(DATE date, SYSTEMTIME* time)
{
    Fields f;
    if (!time || !Split(date, &f))
        return 0;
    time->wYear = WORD(f.year);
    time->wMonth = WORD(f.month);
    time->wDay = WORD(f.day);
    time->wHour = WORD(f.hour);
    time->wMinute = WORD(f.minute);
    time->wSecond = WORD(f.second);
    time->wMilliseconds = WORD(f.millisecond);
    // 1970-01-01 was a Thursday (4).
    long long days = DaysFromCivil(f.year, f.month, f.day);
    time->wDayOfWeek = WORD(((days % 7) + 7 + 4) % 7);
    return 1;
}
