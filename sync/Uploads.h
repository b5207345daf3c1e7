#pragma once

#include "sync/DavClient.h"
#include "sync/EventPatch.h"
#include "sync/SyncReport.h"
#include "sync/Ties.h"

#include <functional>
#include <vector>

namespace dw::sync {

// What one request does to one event on the server.
struct Upload
{
    enum class Kind
    {
        Create, // PUT with If-None-Match: *
        Patch,  // PUT of the server's object with the changes, If-Match
        Delete, // DELETE, If-Match: only while the server holds what was agreed
    };
    Kind kind = Kind::Create;
    QString href;
    QByteArray uid;
    QByteArray ifMatch;               // the ETag the merge saw
    QByteArray data;                  // Patch: the server's object as fetched
    std::vector<int> ties;            // the ties it sends, each with its change
    std::vector<EventChange> changes; // Create: one, its `after` the event's fields
};

// Sends the uploads of a pass, a few at a time, and keeps the ties up to date
// with what the server took. A 412 (changed there meanwhile) or a 404 to a
// change asks for another round: fetch and merge again.
class Uploads
{
public:
    Uploads(DavClient& dav, SyncState& state, Ties& ties, SyncReport& report)
        : m_dav(dav), m_state(state), m_ties(ties), m_report(report)
    {
    }
    void start(std::vector<Upload> plan, std::function<void(bool again)> done);

private:
    void next();
    // False when the reply ended the pass.
    bool sent(const Upload& up, const HttpReply& reply);
    QByteArray body(const Upload& up) const;

    DavClient& m_dav;
    SyncState& m_state;
    Ties& m_ties;
    SyncReport& m_report;
    std::vector<Upload> m_plan;
    std::function<void(bool)> m_done;
    bool m_again = false;
    int m_sending = 0;
};

} // namespace dw::sync
