#pragma once

#include "platform/DateTime.h"

#include <QString>

#include <optional>

namespace dw::ical {

// What iCalendar has no field for travels in properties of our own.
inline constexpr const char* LastRemindedProperty = "X-DATUMSWECKER-LAST-REMINDED";
inline constexpr const char* DoneProperty = "X-DATUMSWECKER-DONE";

// A moment as local ISO date and time with milliseconds, 2024-03-05T14:30:00.125;
// parsing gives back the very number the clock made.
QString FormatLastReminded(dw::TDateTime moment);
std::optional<dw::TDateTime> ParseLastReminded(const QString& text);

// Whole seconds of a duration in days, and back the way the edit fields compose one.
long long SecondsOfDays(double days);
double DaysFromSeconds(long long seconds);

} // namespace dw::ical
