#pragma once

#include "sync/DavClient.h"
#include "sync/SyncState.h"

namespace dw::sync {

// Finds the calendar of an account and what it offers. The address may name
// the calendar itself or the server (or a user's principal): then the first
// calendar for events of the user's calendar home is taken (RFC 4791 6.2.1,
// RFC 5397). Known from an earlier pass, nothing is asked again.
class Discovery
{
public:
    Discovery(DavClient& dav, SyncState& state) : m_dav(dav), m_state(state) {}
    // `done` once the state knows the collection and whether it offers sync-collection.
    void run(const QUrl& account, std::function<void()> done);

private:
    void home(const QString& href);
    void probe();

    DavClient& m_dav;
    SyncState& m_state;
    QUrl m_account;
    std::function<void()> m_done;
};

// The collection's address as the requests use it, ending in a slash.
QUrl CollectionUrl(const QString& collection);

} // namespace dw::sync
