#include "platform/time/Clock.h"

#include <ctime>

namespace {
lumo::Clock& CurrentClock()
{
    static lumo::Clock clock;
    return clock;
}
} // namespace

std::chrono::system_clock::time_point lumo::Now()
{
    const Clock& clock = CurrentClock();
    return clock ? clock() : std::chrono::system_clock::now();
}

void lumo::SetClock(Clock clock) { CurrentClock() = std::move(clock); }

SYSTEMTIME lumo::GetSystemTimeUtc()
{
    using namespace std::chrono;
    auto now = Now();
    std::time_t t = system_clock::to_time_t(now);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    gmtime_r(&t, &tm);
    SYSTEMTIME st;
    st.wYear = WORD(tm.tm_year + 1900);
    st.wMonth = WORD(tm.tm_mon + 1);
    st.wDayOfWeek = WORD(tm.tm_wday);
    st.wDay = WORD(tm.tm_mday);
    st.wHour = WORD(tm.tm_hour);
    st.wMinute = WORD(tm.tm_min);
    st.wSecond = WORD(tm.tm_sec);
    st.wMilliseconds = WORD(ms < 0 ? ms + 1000 : ms);
    return st;
}
