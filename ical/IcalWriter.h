#pragma once

#include "platform/DateTime.h"
#include "store/CalendarGrid.h"

#include <QByteArray>

namespace dw::ical {

// Every appointment of the grid as a VEVENT of one calendar, UTF-8, CR LF,
// folded at 75 bytes. The start is the local time of day (floating), the
// reminder one VALARM, last reminded and done properties of our own; stamped
// with `now`.
QByteArray WriteCalendar(const CalendarGrid& grid, dw::TDateTime now);

} // namespace dw::ical
