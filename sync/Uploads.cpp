#include "sync/Uploads.h"

#include "platform/Clock.h"

#include <QCoreApplication>

namespace dw::sync {

namespace {

// Uploads under way at once: as many as the network layer keeps connections to a host.
constexpr int Parallel = 6;

} // namespace

void Uploads::start(std::vector<Upload> plan, std::function<void(bool)> done)
{
    m_plan = std::move(plan);
    m_done = std::move(done);
    m_again = false;
    m_sending = 0;
    next();
}

QByteArray Uploads::body(const Upload& up) const
{
    if (up.kind == Upload::Kind::Create)
        return NewEvent(up.changes.front().after, up.uid, dw::Now());
    QString error;
    return PatchEvent(up.data, up.uid, up.changes, dw::Now(), error);
}

void Uploads::next()
{
    if (m_plan.empty() && m_sending == 0)
        return m_done(m_again);
    while (!m_plan.empty() && m_sending < Parallel) {
        Upload up = std::move(m_plan.back());
        m_plan.pop_back();
        DavClient::Request r;
        r.url = m_dav.urlOf(up.href);
        r.ifMatch = up.ifMatch;
        if (up.kind == Upload::Kind::Delete) {
            r.method = "DELETE";
        } else {
            r.method = "PUT";
            r.ifNoneMatch = up.kind == Upload::Kind::Create;
            // Made only now, so that a large first upload never holds every body at once.
            r.body = body(up);
            if (r.body.isEmpty()) {
                ++m_report.unreadable;
                continue;
            }
        }
        ++m_sending;
        m_dav.send(r, [this, up = std::move(up)](const HttpReply& reply) {
            --m_sending;
            if (sent(up, reply))
                next();
        });
    }
}

bool Uploads::sent(const Upload& up, const HttpReply& reply)
{
    const bool create = up.kind == Upload::Kind::Create;
    const bool remove = up.kind == Upload::Kind::Delete;
    if (reply.failure == HttpReply::Failure::None && (reply.status == 412 || reply.status == 404)) {
        if (remove && reply.status == 404) {
            // Gone there already: what was to happen has happened.
            m_state.resources.remove(up.href);
            for (int tie : up.ties)
                m_ties.end(tie);
        } else if (create && reply.status == 412) {
            // Made by a pass that was cut off: the next round reads it and merges.
            m_state.resources[up.href] = {up.uid, {}, true};
            m_again = true;
        } else {
            // Changed or deleted there meanwhile: fetched and merged once more.
            m_again = true;
        }
        return true;
    }
    const QString what = QString::fromLatin1(remove ? "DELETE " : "PUT ") + up.href;
    if (m_dav.failed(reply, what))
        return false;
    // A 207 (or 202: accepted, not done) is no stored event: the next pass tries again.
    if (reply.status != 200 && reply.status != 201 && reply.status != 204) {
        m_dav.fail(faults::NotDone(m_dav.server(), what, reply.status,
                                   QCoreApplication::translate("Uploads", "200, 201 oder 204")));
        return false;
    }
    if (remove) {
        m_state.resources.remove(up.href);
        for (int tie : up.ties)
            m_ties.end(tie);
        ++m_report.deleted;
        return true;
    }
    Resource& resource = m_state.resources[up.href];
    resource.uid = up.uid;
    resource.onServer = true;
    resource.etag = reply.etag;
    for (std::size_t i = 0; i < up.ties.size(); ++i) {
        if (up.changes[i].deleted)
            m_ties.end(up.ties[i]); // an occurrence deleted here is an EXDATE there now
        else
            m_ties[up.ties[i]].base = up.changes[i].after;
    }
    ++m_report.uploaded;
    return true;
}

} // namespace dw::sync
