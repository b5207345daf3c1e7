#pragma once

#include "series/SeriesSet.h"

#include <functional>
#include <string>
#include <string_view>

// Reads the series file: iCalendar as the program's writer makes it through
// libical, read on the standard library alone, so that the light reading
// program answers --due and --agenda without loading libical (whose loading
// alone costs more than remind's whole run). Every value is checked; a part
// that cannot be read is left out and named, the rest is kept.
namespace dw::series {

struct ReadOutcome
{
    SeriesSet set;
    bool complete = true; // false: something could not be read and was left out
    int line = 0;         // the first such place, 1-based
    std::string problem;  // German, without the line
};

ReadOutcome ReadSeries(std::string_view bytes);

// The same reading with each series handed to visit as soon as it is whole
// (its exceptions follow it, as the program writes them), none of them kept:
// a thousand series cost no more memory than one. False when only the whole
// reading can tell: the file is damaged, an exception stands elsewhere, a UID
// may stand twice, a series needs libical, or visit said stop. What visit was
// given is then to be thrown away.
bool StreamSeries(std::string_view bytes, const std::function<bool(const Series&)>& visit);

// Our own properties: the last reminder of an occurrence that is no exception
// (the occurrence named by a parameter), and last reminded and done of an event.
inline constexpr const char* OccurrenceStateProperty = "X-DATUMSWECKER-REMINDED";
inline constexpr const char* OccurrenceParameter = "X-DATUMSWECKER-OF";
inline constexpr const char* DoneParameter = "X-DATUMSWECKER-DONE";
inline constexpr const char* LastRemindedProperty = "X-DATUMSWECKER-LAST-REMINDED";
inline constexpr const char* DoneProperty = "X-DATUMSWECKER-DONE";

// A local moment with milliseconds as ISO text (2024-03-05T14:30:00.125), and
// back to the very number the clock made.
std::string FormatReminded(TDateTime moment);
std::optional<TDateTime> ParseReminded(std::string_view text);
// Durations in whole seconds, made into days as the edit fields compose them.
long long SecondsOfDays(double days);
double DaysFromSeconds(long long seconds);

} // namespace dw::series
