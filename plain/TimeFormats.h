#pragma once

#include "plain/DateValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace dw {

// The user's regional short date and long time formats, as strftime patterns
// in the locale's encoding (a German system gives "%d.%m.%Y" and "%H:%M:%S").
struct TimeFormats
{
    std::string shortDate;
    std::string longTime;
};

// Read from the C library's LC_TIME once, on first use.
const TimeFormats& CurrentTimeFormats();
// Tests pin the formats so that nothing depends on the machine's locale.
void SetTimeFormats(const TimeFormats& formats);
void ResetTimeFormats();

// The date part (whole days, truncated toward zero) and the time of day of value through pattern.
std::string FormatMoment(const std::string& pattern, TDateTime value);

// A date typed by the user: ISO YYYY-MM-DD or the regional short date. The date value, or nothing.
std::optional<std::int64_t> ParseUserDate(const std::string& text);

} // namespace dw
