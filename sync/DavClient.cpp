#include "sync/DavClient.h"

namespace dw::sync {

QUrl DavClient::urlOf(const QString& href) const
{
    QUrl path;
    path.setPath(href);
    return m_context.collection.resolved(path);
}

void DavClient::send(const Request& request, std::function<void(const HttpReply&)> done)
{
    HttpRequest r;
    r.method = request.method;
    r.url = request.url;
    r.body = request.body;
    using Header = std::pair<QByteArray, QByteArray>;
    if (!request.body.isEmpty())
        r.headers.append(Header("Content-Type", request.method == "PUT"
                                                    ? QByteArray("text/calendar; charset=utf-8")
                                                    : QByteArray("application/xml; charset=utf-8")));
    if (request.depth >= 0)
        r.headers.append(Header("Depth", QByteArray::number(request.depth)));
    if (!request.ifMatch.isEmpty())
        r.headers.append(Header("If-Match", request.ifMatch));
    if (request.ifNoneMatch)
        r.headers.append(Header("If-None-Match", "*"));
    ++m_inFlight;
    m_transport.send(r, [this, generation = m_generation, done = std::move(done)](const HttpReply& reply) {
        if (generation != m_generation)
            return;
        --m_inFlight;
        done(reply);
    });
}

void DavClient::ask(const Request& request, std::function<void(const dav::Multistatus&)> done,
                    std::function<bool(const HttpReply&)> first)
{
    send(request, [this, method = request.method, done = std::move(done),
                   first = std::move(first)](const HttpReply& r) {
        if ((first && first(r)) || failed(r, QString::fromLatin1(method)))
            return;
        // Only a multistatus answers these; any other 2xx did not do what was asked.
        if (r.status != 207)
            return fail(faults::NotDone(m_context.server, QString::fromLatin1(method), r.status,
                                        QStringLiteral("207")));
        dav::Multistatus ms;
        QString error;
        if (!dav::Parse(r.body, ms, error))
            return fail(faults::BadReply(m_context.server, error));
        done(ms);
    });
}

bool DavClient::failed(const HttpReply& reply, const QString& what)
{
    ReplyContext context = m_context;
    context.request = what;
    const std::optional<Fault> fault = FaultOf(reply, context);
    if (fault)
        fail(*fault);
    return fault.has_value();
}

void DavClient::cancel()
{
    ++m_generation;
    m_inFlight = 0;
    m_transport.cancelAll();
}

} // namespace dw::sync
