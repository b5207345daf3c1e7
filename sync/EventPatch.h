#pragma once

#include "platform/DateTime.h"
#include "sync/EventFields.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Changes made here, written into the server's own calendar object: only the
// properties of what changed are touched, everything else stays as the server
// sent it (location, attendees, organizer, categories, X- properties, alarms,
// time zones, the end, all-day).
namespace dw::sync {

struct EventChange
{
    QString rid;          // an occurrence (its original start in local time); empty: the event itself
    EventFields before;   // what the server's event holds, as read
    EventFields after;    // what it is to hold
    unsigned parts = 0;   // the parts of `after` it takes
    bool deleted = false; // an occurrence deleted here: it becomes an EXDATE
};

// The object with the changes; an occurrence changed for the first time becomes
// an exception (RECURRENCE-ID) made from the series. Every event of it carries
// `uid` where it has none. Empty with `error` when the object cannot be read.
QByteArray PatchEvent(const QByteArray& data, const QByteArray& uid, const std::vector<EventChange>& changes,
                      dw::TDateTime now, QString& error);

// A new event of the fields, as the export writes an appointment, with an end.
QByteArray NewEvent(const EventFields& fields, const QByteArray& uid, dw::TDateTime now);

} // namespace dw::sync
