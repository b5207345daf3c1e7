#pragma once

#include "sync/EventFields.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace dw::sync {

// One event (resource) of the collection, by its path on the server.
struct Resource
{
    QByteArray uid;
    QByteArray etag;
    bool onServer = false; // false: created here, its upload not yet confirmed
};

// The tie between one appointment here and one event on the server (or one
// occurrence of a series).
struct Tie
{
    QString href; // empty: the tie has ended
    QString rid;  // occurrence: its original start in local time (yyyy-MM-ddTHH:mm:ss); empty otherwise
    std::uint32_t id = 0; // the appointment (CalendarGrid::IdOf); 0: deleted here
    EventFields base;     // what both sides agreed on at the last sync (or what a creation sent)
    // From the sync's first file format, which kept only a hash of the base:
    // the hash, until the event is read again and the base is known.
    QByteArray legacyHash;
    // Where the appointment stood and what it held when the file was written:
    // termine.dat keeps no ids, so a start finds it again by these.
    QDate day; // invalid: deleted here
    int index = 0;
    std::uint64_t seen = 0;
};

// The sync's own file in the data folder: the collection, its sync token, the
// resources and the ties. termine.dat stays as it is.
class SyncState
{
public:
    QString account;    // the address the user gave; another one starts afresh
    QString collection; // the calendar's URL once found
    QByteArray token;   // RFC 6578 sync token; empty: compare ETags
    int reports = -1;   // whether the calendar offers sync-collection (1, 0); -1: not asked yet
    QHash<QString, Resource> resources;
    std::vector<Tie> ties;

    // A missing file is an empty state; false only for a file that cannot be
    // read. The first format is converted as it is read.
    bool load(const QString& path);
    bool save(const QString& path) const;
    void clear() { *this = SyncState(); }
    // Forgets every resource and tie whose path lies outside the collection.
    void dropOutside();
};

QString SyncStatePath(const QString& dataFolder);

// The first format's hash of what the user sees: kept to convert its ties.
QByteArray LegacyHash(const EventFields& f);

} // namespace dw::sync
