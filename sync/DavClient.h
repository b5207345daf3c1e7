#pragma once

#include "sync/Dav.h"
#include "sync/SyncFaults.h"
#include "sync/Transport.h"

#include <QUrl>

#include <functional>

namespace dw::sync {

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

    DavClient(Transport& transport, std::function<void(const Fault&)> fail)
        : m_transport(transport), m_fail(std::move(fail))
    {
    }

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
    ReplyContext m_context;
    int m_inFlight = 0;
    unsigned m_generation = 0; // a cancel starts a new one; answers of an older one are dropped
};

} // namespace dw::sync
