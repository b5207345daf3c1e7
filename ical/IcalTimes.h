#pragma once

#include "ical/IcalEvents.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <libical/ical.h>

#include <memory>
#include <utility>
#include <vector>

// What the reader's parts share: moments, zones, the line of each property, failures.
namespace dw::ical {

class Failure
{
public:
    Failure(int line, QString text) : line(line), text(std::move(text)) {}
    int line;
    QString text;
};

struct ComponentDeleter
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

// A moment's date and time as libical's fields, with no zone (the caller sets it).
icaltimetype IcalTimeOf(const QDateTime& at);

struct Moment
{
    QDate date;
    QTime time;
    friend bool operator<(const Moment& a, const Moment& b)
    {
        return a.date != b.date ? a.date < b.date : a.time < b.time;
    }
    friend bool operator==(const Moment&, const Moment&) = default;
};

// Where the properties of one event stand in the file, so that an error found
// after parsing can name its line. Alarm properties are named "VALARM/<name>".
struct EventLines
{
    int begin = 0;
    std::vector<std::pair<QByteArray, int>> properties; // first line of each name
    int badLine = 0;                                    // first line the parser refused
    QByteArray badName;
    QByteArray badValue;

    int of(const char* name) const;
    void note(const QByteArray& name, int line);
    bool has(const char* name) const;
};

bool Valid(const icaltimetype& t);
bool IsZoneName(QByteArrayView id);
// The zone a property's TZID names: the file's own VTIMEZONE first, then the
// system's zone of that name; none means floating (local) time.
const icaltimezone* ZoneOf(icalproperty* property, icalcomponent* zones);
QString TzidOf(icalproperty* property);
// The moment in the local time of this machine.
Moment ToLocal(icaltimetype t, const icaltimezone* zone, const QString& tzid);

} // namespace dw::ical
