#include "sync/Listing.h"

#include "sync/Origin.h"

#include <memory>

namespace dw::sync {

namespace {

// Events fetched in one calendar-multiget.
constexpr int FetchBatch = 200;

} // namespace

void Listing::list(std::function<void(const Changes&)> done)
{
    m_listed = std::move(done);
    const QUrl collection = m_dav.collection();
    if (m_state.reports != 1 || !m_useSyncReport) {
        m_dav.ask({"PROPFIND", collection, dav::EtagPropfind(), 1}, [this](const dav::Multistatus& ms) {
            QHash<QString, QByteArray> etags;
            int outside = 0;
            for (const dav::Entry& e : ms.entries) {
                const HrefPlace place = placeOf(e.href, outside);
                if (place.kind == HrefPlace::Inside && !e.collection && e.status == 200 && !e.etag.isEmpty())
                    etags.insert(place.path, e.etag);
            }
            compare(etags, {}, true, {}, outside);
        });
        return;
    }
    const bool incremental = !m_state.token.isEmpty();
    const auto tokenGone = [this, incremental](const HttpReply& reply) {
        if (!incremental || reply.failure != HttpReply::Failure::None ||
            (reply.status != 403 && reply.status != 409 && reply.status != 400))
            return false;
        // The token is no longer valid (RFC 6578 3.2): everything is compared once.
        m_state.token.clear();
        list(m_listed);
        return true;
    };
    m_dav.ask(
        {"REPORT", collection, dav::SyncCollection(m_state.token), 0},
        [this, incremental](const dav::Multistatus& ms) {
            QHash<QString, QByteArray> etags;
            QSet<QString> removed;
            int outside = 0;
            for (const dav::Entry& e : ms.entries) {
                const HrefPlace place = placeOf(e.href, outside);
                if (place.kind != HrefPlace::Inside || place.path.endsWith(QLatin1Char('/')))
                    continue;
                if (e.status == 404)
                    removed.insert(place.path);
                else if (e.status == 200 && !e.etag.isEmpty())
                    etags.insert(place.path, e.etag);
            }
            compare(etags, removed, !incremental, ms.syncToken, outside);
        },
        tokenGone);
}

HrefPlace Listing::placeOf(const QString& href, int& outside) const
{
    const HrefPlace place = PlaceOf(m_dav.collection(), href);
    if (place.kind == HrefPlace::Outside)
        ++outside;
    return place;
}

void Listing::compare(const QHash<QString, QByteArray>& etags, const QSet<QString>& removed, bool complete,
                      const QByteArray& token, int outside)
{
    Changes c;
    c.token = token;
    c.outside = outside;
    for (auto it = etags.cbegin(); it != etags.cend(); ++it) {
        const auto known = m_state.resources.constFind(it.key());
        if (known == m_state.resources.cend() || !known->onServer || known->etag != it.value())
            c.changed.insert(it.key(), it.value());
    }
    c.removed = removed;
    if (complete)
        for (auto it = m_state.resources.cbegin(); it != m_state.resources.cend(); ++it)
            if (it->onServer && !etags.contains(it.key()))
                c.removed.insert(it.key());
    m_listed(c);
}

void Listing::fetch(const QStringList& hrefs, Event each, std::function<void()> done)
{
    if (hrefs.isEmpty())
        return done();
    auto left = std::make_shared<qsizetype>((hrefs.size() + FetchBatch - 1) / FetchBatch);
    for (qsizetype from = 0; from < hrefs.size(); from += FetchBatch) {
        const QStringList batch = hrefs.mid(from, FetchBatch);
        m_dav.ask({"REPORT", m_dav.collection(), dav::Multiget(batch), 1},
                  [this, left, each, done](const dav::Multistatus& ms) {
                      int outside = 0;
                      for (const dav::Entry& e : ms.entries) {
                          const HrefPlace place = placeOf(e.href, outside);
                          if (place.kind != HrefPlace::Inside)
                              continue;
                          if (e.status == 404)
                              each(place.path, {}, {});
                          else if (e.status == 200 && e.hasCalendarData)
                              each(place.path, e.etag, e.calendarData);
                      }
                      if (--*left == 0)
                          done();
                  });
    }
}

} // namespace dw::sync
