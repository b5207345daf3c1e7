#pragma once

#include "platform/DateTime.h"
#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"

#include <QByteArray>
#include <QDate>

namespace dw::ical {

// Every appointment of the grid as a VEVENT of one calendar, UTF-8, CR LF,
// folded at 75 bytes. The start is the local time of day (floating), the
// reminder one VALARM, last reminded and done properties of our own; stamped
// with `now`.
QByteArray WriteCalendar(const CalendarGrid& grid, dw::TDateTime now);
// The same with each series after the appointments, as one event with its rule
// and exceptions, and the zones they name: what --export writes.
QByteArray WriteCalendar(const CalendarGrid& grid, const dw::series::SeriesSet& series, dw::TDateTime now);

// One appointment of `day` as a calendar of its own under the given UID, the
// same VEVENT the export writes: a resource for a calendar server.
QByteArray WriteEvent(const Appointment& appointment, QDate day, const QByteArray& uid, dw::TDateTime now);

} // namespace dw::ical
