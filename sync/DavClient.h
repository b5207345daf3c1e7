#pragma once

#include "ical/Budget.h"
#include "sync/Dav.h"
#include "sync/SyncFaults.h"
#include "sync/Transport.h"

#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>

namespace dw::sync {

// The whole pass's time unless the settings file says otherwise (sync/seconds):
// room for a first upload of a large calendar to a slow server.
inline constexpr int DefaultPassSeconds = 600;

// What one pass may cost: the import's kind of budget, with the whole pass's
// time and room for the requests of a large calendar.
dw::ical::Bounds PassBounds(double seconds = DefaultPassSeconds);

// The requests of a pass, each with the headers CalDAV wants. A reply that is
// a fault ends the pass through `fail`, in the words of SyncFaults.
class DavClient
{
public:
    struct Request
    {
        Request() = default;
        Request(QByteArray method, QUrl url, QByteArray body, int depth)
            : method(std::move(method)), url(std::move(url)), body(std::move(body)), depth(depth)
        {
        }
        QByteArray method;
        QUrl url;
        QByteArray body;
        int depth = -1; // -1: no Depth header
        QByteArray ifMatch;
        bool ifNoneMatch = false; // If-None-Match: *
    };

    DavClient(Transport& transport, std::function<void(const Fault&)> fail);

    // The pass's budget from now on: every reply is charged to it as it comes,
    // cut off where it would overdraw it, and the pass ends at its deadline,
    // however slowly the server sends.
    void begin(dw::ical::Budget& budget);
    // Time the pass waited on this side (a reminder holding the grid) does not count.
    void setAside(std::chrono::milliseconds waited);

    void setServer(const QString& server) { m_context.server = server; }
    const QString& server() const { return m_context.server; }
    void setCollection(const QUrl& collection) { m_context.collection = collection; }
    const QUrl& collection() const { return m_context.collection; }
    // The address of a path on the server, and the path of an address.
    QUrl urlOf(const QString& href) const;
    static QString hrefOf(const QUrl& url) { return url.path(); }

    // `done` is called once, unless the pass was cancelled meanwhile.
    void send(const Request& request, std::function<void(const HttpReply&)> done);
    // A request answered with a multistatus: `done` gets it read; faults end the
    // pass. `first`, when it returns true, has dealt with the reply itself.
    void ask(const Request& request, std::function<void(const dav::Multistatus&)> done,
             std::function<bool(const HttpReply&)> first = {});
    // Ends the pass when the reply is a fault; `what` names the request.
    bool failed(const HttpReply& reply, const QString& what);
    void fail(const Fault& fault) { m_fail(fault); }
    // Drops every request under way; their answers never arrive.
    void cancel();
    int inFlight() const { return m_inFlight; }

private:
    Transport& m_transport;
    std::function<void(const Fault&)> m_fail;
    void deadline();

    ReplyContext m_context;
    dw::ical::Budget* m_budget = nullptr;
    QTimer m_deadline;
    int m_inFlight = 0;
    unsigned m_generation = 0; // a cancel starts a new one; answers of an older one are dropped
};

} // namespace dw::sync
