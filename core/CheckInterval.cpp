#include "core/CheckInterval.h"

#include <algorithm>
#include <cmath>
#include <limits>

int CheckIntervalMs(int minutes, int seconds)
{
    const double ms = (static_cast<double>(minutes) * 60 + seconds) * 1000;
    const double whole = std::trunc(ms);
    if (whole <= 0)
        return 0;
    if (whole >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(whole);
}

StoredSettings BoundedSettings(const StoredSettings& loaded)
{
    StoredSettings bounded = loaded;
    bounded.CheckMinutes = std::max(loaded.CheckMinutes, 0);
    bounded.CheckSeconds = std::clamp(loaded.CheckSeconds, 0, 59);
    return bounded;
}

bool SleptBetween(const ClockReading& before, const ClockReading& after)
{
    // Whole milliseconds: a moment near today is a day count that holds about a microsecond.
    const qint64 wallMs = std::llround((after.wall - before.wall) * dw::MSecsPerDay);
    return wallMs - (after.monotonicMs - before.monotonicMs) > SleepJumpMs;
}
