#pragma once

#include "ical/CalendarImport.h"
#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"

#include <QString>

// Every place where the command line touches termine.dat.
namespace dw::cli {

// Reads the file for the reading options; writes nothing, not even a backup.
// A missing file is an empty store. False with a German message when the file
// cannot be read completely.
bool ReadStore(const QString& path, CalendarGrid& grid, QString& error);

// Reads the series file for the reading options, in the same way: nothing
// written, a missing file no series, a damaged one a German message.
bool ReadSeriesFile(const QString& path, dw::series::SeriesSet& set, QString& error);

struct StoreImport
{
    bool ok = false;
    dw::ical::ImportReport report;
    QString error; // German, when !ok
};
// Loads the file as the window does (a damaged file is copied aside first),
// adds the calendar and saves through the same atomic save. The caller holds the lock.
// Past a bound of the budget the file stays as it was.
StoreImport ImportIntoFile(const QString& path, const dw::ical::ImportedCalendar& calendar,
                           dw::ical::Budget& budget);

} // namespace dw::cli
