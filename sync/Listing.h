#pragma once

#include "sync/DavClient.h"
#include "sync/Origin.h"
#include "sync/SyncState.h"

#include <QHash>
#include <QSet>

#include <functional>

namespace dw::sync {

// What changed on the server since the last pass.
struct Changes
{
    QHash<QString, QByteArray> changed; // path: ETag, of events new or changed there
    QSet<QString> removed;              // paths of events gone there
    QByteArray token;                   // the new sync token; empty where ETags were compared
    int outside = 0;                    // hrefs outside the calendar, skipped
};

// Lists what changed on the server (RFC 6578 sync-collection, or the ETags of
// a PROPFIND where the calendar offers no sync token) and fetches events.
class Listing
{
public:
    Listing(DavClient& dav, SyncState& state) : m_dav(dav), m_state(state) {}
    void setUseSyncReport(bool use) { m_useSyncReport = use; }
    void list(std::function<void(const Changes&)> done);

    // An event as the server holds it now; empty data: it is gone.
    using Event = std::function<void(const QString& href, const QByteArray& etag, const QByteArray& data)>;
    // Fetches the events in batches (calendar-multiget) and hands each on as its
    // batch arrives, so that only a batch at a time is held; then `done`.
    void fetch(const QStringList& hrefs, Event each, std::function<void()> done);

private:
    void compare(const QHash<QString, QByteArray>& etags, const QSet<QString>& removed, bool complete,
                 const QByteArray& token, int outside);
    // An href of the server's as a path inside the calendar; counts those outside.
    HrefPlace placeOf(const QString& href, int& outside) const;

    DavClient& m_dav;
    SyncState& m_state;
    bool m_useSyncReport = true;
    std::function<void(const Changes&)> m_listed;
};

} // namespace dw::sync
