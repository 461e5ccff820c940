#include "scene/nodes/AnimationTimer.h"

#include "scene/render/GLRenderArea.h"

namespace {

// Days from 1 January 1970 to the date (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

// 1 January 1601 to 1 January 1970.
const long long kDays1601To1970 = 134774;

} // namespace

bool lumo::anim::ToMilliseconds(const SYSTEMTIME& t, std::uint64_t& ms)
{
    static const unsigned kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.wYear < 1601 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 || t.wDay > kMonthDays[t.wMonth - 1] ||
        t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 || t.wMilliseconds > 999)
        return false;
    long long days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + kDays1601To1970;
    ms = std::uint64_t(days) * 86400000ull + std::uint64_t(t.wHour) * 3600000ull + std::uint64_t(t.wMinute) * 60000ull +
         std::uint64_t(t.wSecond) * 1000ull + t.wMilliseconds;
    return true;
}

std::uint64_t lumo::anim::ElapsedMilliseconds(const SYSTEMTIME& now, const SYSTEMTIME& before)
{
    std::uint64_t a = 0, b = 0;
    if (!ToMilliseconds(now, a) || !ToMilliseconds(before, b) || a < b)
        return 0;
    return a - b;
}

CVAnimationTimer::Step CVAnimationTimer::Begin(CVGLRenderArea* area, bool active, std::uint64_t& elapsedMs)
{
    elapsedMs = 0;
    if (!area)
        return IDLE;
    bool enabled = area->GetAnimationEnabled() != 0;
    if (!active || !enabled)
        mRestart = true;
    if (active)
        area->IncrementAnimationNodeCounter();
    if (!active || !enabled)
        return IDLE;
    std::uint64_t now = 0;
    if (!lumo::anim::ToMilliseconds(area->GetCurrentAnimationTime(), now))
        return IDLE; // no frame time yet: nothing to measure from
    mNow = now;
    if (mRestart) {
        mRestart = false;
        mStored = now;
        return STARTED;
    }
    if (now < mStored)
        mStored = now;
    elapsedMs = now - mStored;
    return RUNNING;
}
