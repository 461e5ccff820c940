// The one wall clock of the system. Everything that reads the time (animation
// time, frame statistics) reads it here, so that tests can step time.
#pragma once

#include "platform/win/WinTypes.h"

#include <chrono>
#include <functional>

namespace lumo {

using Clock = std::function<std::chrono::system_clock::time_point()>;

std::chrono::system_clock::time_point Now();
// Replaces the clock; an empty function restores the system clock.
void SetClock(Clock clock);
// The current UTC time as a SYSTEMTIME.
SYSTEMTIME GetSystemTimeUtc();

} // namespace lumo
