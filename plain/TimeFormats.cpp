#include "plain/TimeFormats.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <langinfo.h>

namespace dw {

namespace {
std::optional<TimeFormats> g_formats;

TimeFormats ReadFromLocale()
{
    // Only the time category: numbers and messages stay as they are.
    const char* previous = std::setlocale(LC_TIME, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_TIME, "");
    TimeFormats f{nl_langinfo(D_FMT), nl_langinfo(T_FMT)};
    std::setlocale(LC_TIME, saved.c_str());
    if (f.shortDate.empty())
        f.shortDate = "%d.%m.%Y";
    if (f.longTime.empty())
        f.longTime = "%H:%M:%S";
    return f;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

const TimeFormats& CurrentTimeFormats()
{
    if (!g_formats)
        g_formats = ReadFromLocale();
    return *g_formats;
}

void SetTimeFormats(const TimeFormats& formats)
{
    g_formats = formats;
}

void ResetTimeFormats()
{
    g_formats.reset();
}

std::string FormatMoment(const std::string& pattern, TDateTime value)
{
    const auto days = static_cast<std::int64_t>(std::trunc(value));
    const CivilDate date = CivilFromDays(days);
    int h, mi, s, ms;
    DecodeTime(value, h, mi, s, ms);
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    // 30 December 1899 was a Saturday.
    tm.tm_wday = static_cast<int>(((days + 6) % 7 + 7) % 7);
    tm.tm_yday = static_cast<int>(days - DaysFromCivil(date.year, 1, 1));
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, pattern.c_str(), &tm);
    return std::string(buffer, n);
}

std::optional<std::int64_t> ParseUserDate(const std::string& text)
{
    const char* t = text.c_str();
    if (text.size() == 10 && t[4] == '-' && t[7] == '-') {
        bool digits = true;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
            digits = digits && IsDigit(t[i]);
        if (digits) {
            const int y = std::atoi(t), m = std::atoi(t + 5), d = std::atoi(t + 8);
            if (IsValidCivil(y, m, d))
                return DaysFromCivil(y, m, d);
        }
    }
    std::tm tm{};
    const char* end = ::strptime(t, CurrentTimeFormats().shortDate.c_str(), &tm);
    if (!end || *end != '\0')
        return std::nullopt;
    const int year = tm.tm_year + 1900;
    if (year == 0 || !IsValidCivil(year, tm.tm_mon + 1, tm.tm_mday))
        return std::nullopt;
    return DaysFromCivil(year, tm.tm_mon + 1, tm.tm_mday);
}

} // namespace dw
