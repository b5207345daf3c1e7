#pragma once

#include "sync/DavClient.h"
#include "sync/Origin.h"
#include "sync/SyncState.h"

namespace dw::sync {

// Finds the calendar of an account and what it offers. The address may name
// the calendar itself or the server (or a user's principal): then the user's
// calendar home is listed (RFC 4791 6.2.1, RFC 5397); its one calendar for
// events is taken, and where it has several the person is asked to choose.
// Every address the server names must lie on the account's origin. Known from
// an earlier pass, nothing is asked again.
class Discovery
{
public:
    Discovery(DavClient& dav, SyncState& state) : m_dav(dav), m_state(state) {}
    // `done` once the state knows the collection and whether it offers sync-collection.
    void run(const QUrl& account, std::function<void()> done);
    // The calendar's name as the server gives it (empty where it gives none).
    const QString& name() const { return m_name; }
    // The calendar as the person reads it: „name“ (address), or its address; empty before it is known.
    QString calendarText() const;
    // (address, name) of each calendar for events, when the server has several.
    const QList<std::pair<QString, QString>>& calendars() const { return m_calendars; }

private:
    void start(const QUrl& at, int redirects);
    void home(const QUrl& homeUrl);
    void probe();
    // False, and the pass ends, when `url` lies on another origin than the account.
    bool here(const QUrl& url);

    DavClient& m_dav;
    SyncState& m_state;
    QUrl m_account;
    std::function<void()> m_done;
    QString m_name;
    QList<std::pair<QString, QString>> m_calendars;
};

} // namespace dw::sync
