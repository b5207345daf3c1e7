#include "plain/DateValue.h"

#include <cmath>
#include <cstdio>

namespace dw {

namespace {
// Days from 30 December 1899 to 1 March of year 0, where the algorithm's eras start.
constexpr std::int64_t EraShift = 693899;
} // namespace

CivilDate CivilFromDays(std::int64_t days)
{
    // Howard Hinnant's days-to-civil, counted from 1 March 0000.
    const std::int64_t z = days + EraShift;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const auto y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

std::int64_t DaysFromCivil(int year, int month, int day)
{
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned mp = month > 2 ? static_cast<unsigned>(month - 3) : static_cast<unsigned>(month + 9);
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - EraShift;
}

bool IsValidCivil(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int Length[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= Length[month - 1] + (month == 2 && leap ? 1 : 0);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec)
{
    const long long ms = std::llround(std::fabs(value) * MSecsPerDay) % static_cast<long long>(MSecsPerDay);
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

std::string IsoMoment(TDateTime moment)
{
    constexpr long long PerDay = 86400000;
    const double scaled = moment * MSecsPerDay;
    if (!(std::fabs(scaled) < 9e18))
        return {};
    const long long ms = std::llround(scaled);
    long long days = ms / PerDay, rest = ms % PerDay;
    if (rest < 0) {
        --days;
        rest += PerDay;
    }
    const CivilDate d = CivilFromDays(days);
    if (d.year < 1 || d.year > 9999)
        return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02lld:%02lld:%02lld.%03lld", d.year, d.month, d.day,
                  rest / 3600000, rest / 60000 % 60, rest / 1000 % 60, rest % 1000);
    return buffer;
}

} // namespace dw
