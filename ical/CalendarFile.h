#pragma once

#include "ical/IcalEvents.h"

#include <QString>

namespace dw::ical {

// Reads and checks a calendar file; false with "<file>, Zeile N: ..." when it is
// not a readable calendar.
bool ReadCalendarFile(const QString& path, ImportedCalendar& calendar, QString& error);

} // namespace dw::ical
