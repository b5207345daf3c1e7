#pragma once

#include "ical/CalendarImport.h"

namespace dw::ical {

// Adds the calendar's series to the set, skipping those already there: the
// same UID, or the same start, zone, rule and name. Charged to the budget as
// added; a bound reached throws before any zone is added, and the caller
// takes back the series added (the set's list cut back to its size before).
// `checked` counts the series looked at, for the message of a bound reached.
void AddSeries(dw::series::SeriesSet& into, const ImportedCalendar& calendar, Budget& budget,
               ImportReport& report, std::size_t& checked);

} // namespace dw::ical
