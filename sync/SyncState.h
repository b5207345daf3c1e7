#pragma once

#include "ical/CalendarImport.h"
#include "store/Appointment.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace dw::sync {

// What the user sees of an appointment and may change (day, time, name,
// description, lead, repeat interval), in the units iCalendar carries: equal
// here and on the server exactly when the two agree.
QByteArray UserHash(QDate day, const Appointment& a);
QByteArray UserHash(QDate day, const dw::ical::StoreFields& f);
// The same together with the reminder state; tells a link's appointment again after a restart.
QByteArray FullHash(QDate day, const Appointment& a);

// One event (resource) of the collection, by its path on the server.
struct Resource
{
    QByteArray uid;
    QByteArray etag;
    bool onServer = false; // false: created here, its upload not yet confirmed
};

// The tie between one appointment here and one event on the server (or one
// occurrence of a recurring event). termine.dat has no ids: the appointment is
// known by its day and its index in that day, which the windows' additions and
// deletions keep up to date, and by what it held when last written.
struct Link
{
    QString href;
    QString rid;       // occurrence: its original start in local time (yyyy-MM-ddTHH:mm:ss); empty otherwise
    QDate day;         // invalid: deleted here, the deletion not yet on the server
    int index = 0;     // within the day
    QByteArray base;   // UserHash both sides agreed on last
    double last = 0.0; // reminder state agreed on last
    std::uint8_t done = 0;
    QByteArray seen; // FullHash when the state was written
    bool alive() const { return day.isValid(); }
};

// The sync's own file in the data folder: the collection, its sync token, the
// resources and the links. termine.dat stays as it is.
class SyncState
{
public:
    QString account;    // the address the user gave; another one starts afresh
    QString collection; // the calendar's URL once found
    QByteArray token;   // RFC 6578 sync token; empty: compare ETags
    int reports = -1;   // whether the calendar offers sync-collection (1, 0); -1: not asked yet
    QHash<QString, Resource> resources;
    std::vector<Link> links;

    // A missing file is an empty state; false only for a file that cannot be read.
    bool load(const QString& path);
    bool save(const QString& path) const;
    void clear() { *this = SyncState(); }
    // Drops the links of deleted appointments whose deletion is done.
    void compact();
};

QString SyncStatePath(const QString& dataFolder);

} // namespace dw::sync
