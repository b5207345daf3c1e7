#include "sync/DavClient.h"

namespace dw::sync {

dw::ical::Bounds PassBounds(double seconds)
{
    dw::ical::Bounds b;
    b.wallSeconds = seconds;
    // Each reply is charged: a whole calendar's events and listings, not one file's.
    b.inputBytes = qint64(256) << 20;
    b.seconds = 30.0;
    return b;
}

DavClient::DavClient(Transport& transport, std::function<void(const Fault&)> fail)
    : m_transport(transport), m_fail(std::move(fail))
{
    m_deadline.setSingleShot(true);
    // Coarse timers may be 5 % late: the pass ends at its deadline, not half a minute after.
    m_deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_deadline, &QTimer::timeout, [this] { deadline(); });
}

void DavClient::begin(dw::ical::Budget& budget)
{
    m_budget = &budget;
    m_deadline.start(budget.remaining());
}

void DavClient::setAside(std::chrono::milliseconds waited)
{
    if (!m_budget)
        return;
    m_budget->setAside(waited);
    if (m_deadline.isActive())
        m_deadline.start(m_budget->remaining());
}

void DavClient::deadline()
{
    try {
        m_budget->checkNow();
    } catch (const dw::ical::BoundReached& reached) {
        return fail(faults::Bound(reached.text));
    }
    m_deadline.start(std::max(m_budget->remaining(), std::chrono::milliseconds(1)));
}

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
    if (m_budget)
        r.maxBytes = std::min(MaxReplyBytes, m_budget->inputLeft());
    ++m_inFlight;
    m_transport.send(r, [this, generation = m_generation, maxBytes = r.maxBytes,
                         done = std::move(done)](const HttpReply& reply) {
        if (generation != m_generation)
            return;
        --m_inFlight;
        if (m_budget) {
            try {
                // Cut off at what the pass had left: the pass's bound, not the reply's, was reached.
                const bool overdrawn =
                    reply.failure == HttpReply::Failure::TooLarge && maxBytes < MaxReplyBytes;
                m_budget->chargeInput(overdrawn ? maxBytes + 1 : reply.body.size());
            } catch (const dw::ical::BoundReached& reached) {
                return fail(faults::Bound(reached.text));
            }
        }
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
    m_deadline.stop();
    ++m_generation;
    m_inFlight = 0;
    m_transport.cancelAll();
}

} // namespace dw::sync
