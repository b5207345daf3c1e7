#pragma once

#include "series/Series.h"

#include <optional>
#include <string>
#include <vector>

// Changes of one series as the windows and the check pass make them. Each
// keeps the series' lists ascending and drops what was worked out from it.
namespace dw::series {

// A series' UID of its own: random, as a calendar server expects one.
std::string NewUid();

// A series that starts on a day at a time of day (whole seconds), in floating time.
Series NewSeries(std::int64_t day, int second, const Fields& fields, const Rule& rule, Wall stampUtc);

// The reminder state of one occurrence. Never reminded and not done is the
// state of an occurrence without one, so that state is dropped.
void SetState(Series& series, Wall recurrenceId, double lastReminded, bool done);
// One occurrence deleted alone: its date is excluded, its exception and state go.
void Exclude(Series& series, Wall recurrenceId);
// The exception of one occurrence, made from the series' fields when it has none yet.
Exception& ExceptionFor(Series& series, Wall recurrenceId);
// Every occurrence moves to another time of day (a change of all of the
// series); recurrence ids, excluded dates and states move with them, and so do
// the exceptions that were at the old time.
void SetTimeOfDay(Series& series, int second);
// A new rule for the whole series. The exceptions whose occurrence it no longer
// has come back to the caller with their states (they must not be lost); the
// states of other occurrences it no longer has are dropped.
struct LostException
{
    Exception exception;
    ReminderState state;
};
std::vector<LostException> SetRule(Series& series, const std::optional<Rule>& rule);

} // namespace dw::series
