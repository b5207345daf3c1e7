#pragma once

#include "ical/IcalEvents.h"

#include <QString>

namespace dw::ical {

// Reads and checks a calendar file as the first part of an import's pass,
// charged to its budget; false with "<file>, Zeile N: ..." when it is not a
// readable calendar or reaches a bound.
bool ReadCalendarFile(const QString& path, ImportedCalendar& calendar, QString& error, Budget& budget);

} // namespace dw::ical
