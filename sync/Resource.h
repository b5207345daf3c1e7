#pragma once

#include "ical/CalendarImport.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

// One calendar object of the server (RFC 4791: one UID, with the exceptions of
// its occurrences) read into appointments. The conversion of each event is the
// one --import uses.
namespace dw::sync {

struct ServerItem
{
    QString rid; // the occurrence's original start in local time; empty for an event without recurrence
    QDate day;
    dw::ical::StoreFields fields;
};

struct ReadItems
{
    bool ok = false;
    QString error; // German, when !ok
    QByteArray uid;
    std::vector<ServerItem> items; // within 2000-2100, bounded as the import is
};
// Past a bound of the pass's budget (a line too long, too many exceptions,
// occurrences or appointments, the time) it throws BoundReached and has read nothing.
ReadItems ReadResource(const QByteArray& data, dw::ical::Budget& budget);
// The same within a budget of its own, a bound reached read as unreadable.
ReadItems ReadResource(const QByteArray& data);

} // namespace dw::sync
