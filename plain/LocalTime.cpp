#include "plain/LocalTime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace dw {

TDateTime LocalNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    ::localtime_r(&now.tv_sec, &local);
    const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const double ms = local.tm_hour * 3600000.0 + local.tm_min * 60000.0 + local.tm_sec * 1000.0 +
                      static_cast<double>(now.tv_nsec / 1000000);
    return static_cast<double>(days) + ms / MSecsPerDay;
}

std::optional<TDateTime> TestClockStart()
{
    const char* text = std::getenv("DATUMSWECKER_TEST_NOW");
    if (!text)
        return std::nullopt;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    const int fields =
        std::sscanf(text, "%4d-%2d-%2dT%2d:%2d%n:%2d%n", &y, &mo, &d, &h, &mi, &used, &s, &used);
    if (fields < 5 || static_cast<std::size_t>(used) != std::strlen(text) || text[4] != '-' ||
        !IsValidCivil(y, mo, d) || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0)
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(y, mo, d)) + (h * 3600.0 + mi * 60.0 + s) * 1000.0 / MSecsPerDay;
}

std::optional<TDateTime> TestClockOffset()
{
    const std::optional<TDateTime> start = TestClockStart();
    if (!start)
        return std::nullopt;
    return *start - LocalNow();
}

} // namespace dw
