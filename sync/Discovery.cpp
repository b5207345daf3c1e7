#include "sync/Discovery.h"

namespace dw::sync {

QUrl CollectionUrl(const QString& collection)
{
    QUrl url(collection);
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

void Discovery::run(const QUrl& account, std::function<void()> done)
{
    m_account = account;
    m_done = std::move(done);
    if (!m_state.collection.isEmpty()) {
        m_dav.setCollection(CollectionUrl(m_state.collection));
        if (m_state.reports >= 0)
            return m_done();
        return probe();
    }
    m_dav.ask({"PROPFIND", account, dav::CollectionPropfind(), 0}, [this](const dav::Multistatus& ms) {
        if (ms.entries.empty())
            return m_dav.fail(faults::BadReply(m_account.host(), {}));
        const dav::Entry& e = ms.entries.front();
        if (e.calendar) {
            m_state.collection = m_account.toString();
            m_dav.setCollection(CollectionUrl(m_state.collection));
            return probe();
        }
        if (!e.calendarHome.isEmpty())
            return home(e.calendarHome);
        if (e.principal.isEmpty())
            return m_dav.fail(faults::NoCalendarAt(m_account.toString()));
        m_dav.ask({"PROPFIND", m_account.resolved(QUrl(e.principal)), dav::CollectionPropfind(), 0},
                  [this](const dav::Multistatus& p) {
                      if (p.entries.empty() || p.entries.front().calendarHome.isEmpty())
                          return m_dav.fail(faults::NoCalendarHome());
                      home(p.entries.front().calendarHome);
                  });
    });
}

void Discovery::home(const QString& href)
{
    const QUrl homeUrl = m_account.resolved(QUrl(href));
    m_dav.ask({"PROPFIND", homeUrl, dav::CollectionPropfind(), 1},
              [this, homeUrl](const dav::Multistatus& list) {
                  for (const dav::Entry& c : list.entries) {
                      if (c.calendar && c.events) {
                          QUrl at;
                          at.setPath(c.href);
                          m_state.collection = homeUrl.resolved(at).toString();
                          m_dav.setCollection(CollectionUrl(m_state.collection));
                          return probe();
                      }
                  }
                  m_dav.fail(faults::NoEventCalendarAt(m_account.toString()));
              });
}

void Discovery::probe()
{
    m_dav.ask({"PROPFIND", m_dav.collection(), dav::CollectionPropfind(), 0},
              [this](const dav::Multistatus& ms) {
                  if (ms.entries.empty())
                      return m_dav.fail(faults::BadReply(m_account.host(), {}));
                  if (!ms.entries.front().calendar)
                      return m_dav.fail(faults::NotACalendar(m_dav.collection().toString()));
                  m_state.reports = ms.entries.front().syncReport ? 1 : 0;
                  m_done();
              });
}

} // namespace dw::sync
