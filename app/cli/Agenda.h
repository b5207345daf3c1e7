#pragma once

#include "platform/DateTime.h"
#include "store/CalendarGrid.h"

#include <QString>

#include <vector>

namespace dw::cli {

struct AgendaEntry
{
    std::int32_t day; // date value of the day
    const Appointment* appointment;
};

// The appointments of `days` days from `first` on, by date and time of day
// (appointments at the same time in the day's order).
std::vector<AgendaEntry> AgendaEntries(const CalendarGrid& grid, const QDate& first, int days);

// What a check pass at `now` would remind, in the order it would: the same
// rule, the same walk, nothing changed.
std::vector<AgendaEntry> DueEntries(const CalendarGrid& grid, dw::TDateTime now);

// Plain text in the regional formats: date, time, name, the description indented below.
QString AgendaText(const std::vector<AgendaEntry>& entries);
// One JSON object a line.
QString AgendaJson(const std::vector<AgendaEntry>& entries);

} // namespace dw::cli
