#pragma once

#include "series/SeriesSet.h"

#include <string>

typedef struct icalcomponent_impl icalcomponent;

// Series as iCalendar, written through libical: the series file, and the same
// events for the export (and, later, for a calendar server).
namespace dw::series {

// The whole series file: the zones the series name, then each series as one
// VEVENT with its rule and one more for each exception. UTF-8, CR LF, folded.
std::string WriteSeriesFile(const SeriesSet& set);

// The VEVENTs of one series (the series and its exceptions), to be put into a
// calendar that also holds the zones of ZonesOf.
std::string WriteSeriesEvents(const Series& series);
// The VTIMEZONEs the series of the set name, as libical writes them.
std::string WriteZones(const SeriesSet& set);

// The reminder as every event of ours carries it, for the caller to own: the
// first lead before the start, then every repeat interval, as often as it fits
// before the start. The name is UTF-8.
icalcomponent* NewAlarm(double firstLead, double repeatInterval, const std::string& name);

} // namespace dw::series
