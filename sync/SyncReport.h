#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include <utility>

namespace dw::sync {

// How a pass ended, for the settings page, the command line and the tests.
struct SyncReport
{
    enum class Fault
    {
        None,
        NoAccount,
        Unreachable,
        TimedOut,
        Certificate,
        Insecure,
        Unauthorized, // 401: the password is asked for again
        Forbidden,
        NotFound,
        Server, // 5xx or another status the sync cannot go on with
        BadReply,
        Store,          // termine.dat or the sync's own file could not be written
        Redirected,     // the server sends the requests elsewhere (3xx)
        OtherOrigin,    // the server points to another host: nothing is sent there
        ChooseCalendar, // the server has several calendars and none was chosen
        Bound,          // the pass reached a bound of its budget (time, bytes, lines, occurrences ...)
        Other           // the sync's network part could not be loaded
    };
    Fault fault = Fault::None;
    QString error;      // German, when fault != None
    int added = 0;      // appointments that came from the server
    int changed = 0;    // appointments changed from the server
    int removed = 0;    // appointments the server deleted
    int uploaded = 0;   // events created or changed on the server
    int deleted = 0;    // events deleted on the server
    int conflicts = 0;  // kept twice
    int unreadable = 0; // server objects that are no readable iCalendar
    int outside = 0;    // hrefs of a listing outside the calendar, skipped
    QString calendar;   // the calendar synced: its name, or its address
    // The calendars for events the server offers, (address, name), when it has several.
    QList<std::pair<QString, QString>> calendars;
    QByteArray fingerprint; // of a refused certificate (SHA-256, hex), so that it can be trusted
    bool ok() const { return fault == Fault::None; }
    // German, one line per count that is not zero, or the error.
    QString text() const;
    // What a pass cut off by a bound had done (and kept) until then.
    QString progressText() const;
    // The same, and the calendar it was synced with (or tried) on a line of its own.
    QString fullText() const;
};

} // namespace dw::sync

Q_DECLARE_METATYPE(dw::sync::SyncReport)
