#pragma once

#include "ical/IcalEvents.h"

#include <QHash>
#include <QString>

#include <vector>

namespace dw::ical {

// Where the properties of one event stand in the file, so that an error found
// after parsing can name its line. Alarm properties are keyed "VALARM/<name>".
struct EventLines
{
    int begin = 0;
    QHash<QString, int> properties; // first line of each property name, upper case
};

struct ScannedFile
{
    QByteArray unfolded;            // content lines joined with CR LF, ready for the parser
    std::vector<EventLines> events; // top-level events in file order
};

// Checks the line structure the parser forgives silently: valid UTF-8, content
// lines of the form NAME[;PARAMS]:VALUE, matching BEGIN and END, one calendar
// from the first line to the end. False with the line of the first fault.
bool ScanLines(const QByteArray& bytes, ScannedFile& scanned, ReadError& error);

} // namespace dw::ical
