#pragma once

#include "ical/CalendarImport.h"
#include "platform/DateTime.h"
#include "store/Appointment.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

// One calendar object of the server (RFC 4791: one UID, with the exceptions of
// its occurrences) read into appointments and changed from appointments. The
// conversion of each event is the one --import and --export use.
namespace dw::sync {

struct ServerItem
{
    QString rid; // the occurrence's original start in local time; empty for an event without recurrence
    QDate day;
    dw::ical::StoreFields fields;
    QByteArray hash; // UserHash
};

struct ReadItems
{
    bool ok = false;
    QString error; // German, when !ok
    QByteArray uid;
    std::vector<ServerItem> items; // within 2000-2100, bounded as the import is
};
ReadItems ReadResource(const QByteArray& data);

// A change made here to one appointment of the object.
struct LocalChange
{
    QString rid;                              // as in ServerItem
    const Appointment* appointment = nullptr; // nullptr: deleted here
    QDate day;
};
// The server's object with the changes: the event (or the occurrence, as an
// exception with RECURRENCE-ID) takes the appointment's fields and keeps what the
// program has no field for; a deleted occurrence becomes an EXDATE. Empty with
// `error` when the object cannot be read.
QByteArray PatchResource(const QByteArray& data, const std::vector<LocalChange>& changes, dw::TDateTime now,
                         QString& error);

} // namespace dw::sync
