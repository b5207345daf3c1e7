#pragma once

#include <QMetaType>
#include <QString>

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
        Store, // termine.dat or the sync's own file could not be written
        Other  // the sync's network part could not be loaded
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
    bool ok() const { return fault == Fault::None; }
    // German, one line per count that is not zero, or the error.
    QString text() const;
};

} // namespace dw::sync

Q_DECLARE_METATYPE(dw::sync::SyncReport)
