#pragma once

#include "sync/SyncReport.h"
#include "sync/Transport.h"

#include <QString>
#include <QUrl>

#include <optional>

// Every way a pass can fail, and the German words for it: one place for what
// the person is told, whichever job of the sync ran into it.
namespace dw::sync {

struct Fault
{
    SyncReport::Fault kind = SyncReport::Fault::None;
    QString text;
    QByteArray fingerprint{}; // of a refused certificate
};

// Where a reply came from, for its message.
struct ReplyContext
{
    QString server;  // the host the account names
    QUrl collection; // the calendar, once known
    QString request; // "PROPFIND", "PUT /anna/kalender/x.ics", ...
};

// The fault a reply stands for; nullopt for a 2xx answer.
std::optional<Fault> FaultOf(const HttpReply& reply, const ReplyContext& context);

namespace faults {
Fault NoAccount();
Fault InsecureAddress();
Fault StateUnreadable(const QString& path);
Fault StoreNotSaved();
// A reply that is not what a CalDAV server sends; `error` from the parser, if any.
Fault BadReply(const QString& server, const QString& error);
// A bound of the pass's budget was reached (the budget's own words); the
// engine adds what was done so far.
Fault Bound(const QString& reached);
Fault NoCalendarAt(const QString& address);
Fault NoEventCalendarAt(const QString& address);
Fault NoCalendarHome();
Fault NotACalendar(const QString& address);
// A 2xx answer that is not the one the request wants (a 207 to a PUT).
Fault NotDone(const QString& server, const QString& request, int status, const QString& wanted);
// Discovery pointed from the account's origin to another one.
Fault OtherServer(const QUrl& account, const QUrl& other);
Fault ChooseCalendar(const QString& server, const QList<std::pair<QString, QString>>& calendars);
} // namespace faults

// A SHA-256 as the person compares it: AB:CD:...
QString FingerprintText(const QByteArray& hex);
// What the person typed as a fingerprint, as hex; empty when it is none.
QByteArray FingerprintFrom(const QString& text);

} // namespace dw::sync
