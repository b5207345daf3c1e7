#include "sync/Discovery.h"

namespace dw::sync {

namespace {

// Redirects followed on the server the person set up, as from /.well-known/caldav.
constexpr int MaxRedirects = 3;

} // namespace

void Discovery::run(const QUrl& account, std::function<void()> done)
{
    m_account = account;
    m_done = std::move(done);
    m_name.clear();
    m_calendars.clear();
    if (!m_state.collection.isEmpty()) {
        m_dav.setCollection(CollectionUrl(m_state.collection));
        if (m_state.reports >= 0)
            return m_done();
        return probe();
    }
    start(account, 0);
}

bool Discovery::here(const QUrl& url)
{
    if (SameOrigin(url, m_account))
        return true;
    m_dav.fail(faults::OtherServer(m_account, url));
    return false;
}

void Discovery::start(const QUrl& at, int redirects)
{
    const auto moved = [this, at, redirects](const HttpReply& r) {
        if (r.failure != HttpReply::Failure::None || r.status < 300 || r.status >= 400 ||
            r.location.isEmpty() || redirects >= MaxRedirects || !SameOrigin(r.location, m_account))
            return false;
        start(r.location, redirects + 1);
        return true;
    };
    m_dav.ask(
        {"PROPFIND", at, dav::CollectionPropfind(), 0},
        [this, at](const dav::Multistatus& ms) {
            if (ms.entries.empty())
                return m_dav.fail(faults::BadReply(m_account.host(), {}));
            const dav::Entry& e = ms.entries.front();
            if (e.calendar) {
                // The address names the calendar itself: this one answer says all.
                m_state.collection = at.toString();
                m_dav.setCollection(CollectionUrl(m_state.collection));
                m_name = e.displayName;
                m_state.reports = e.syncReport ? 1 : 0;
                return m_done();
            }
            if (!e.calendarHome.isEmpty())
                return home(at.resolved(QUrl(e.calendarHome)));
            if (e.principal.isEmpty())
                return m_dav.fail(faults::NoCalendarAt(m_account.toString()));
            const QUrl principal = at.resolved(QUrl(e.principal));
            if (!here(principal))
                return;
            m_dav.ask({"PROPFIND", principal, dav::CollectionPropfind(), 0},
                      [this, principal](const dav::Multistatus& p) {
                          if (p.entries.empty() || p.entries.front().calendarHome.isEmpty())
                              return m_dav.fail(faults::NoCalendarHome());
                          home(principal.resolved(QUrl(p.entries.front().calendarHome)));
                      });
        },
        moved);
}

void Discovery::home(const QUrl& homeUrl)
{
    if (!here(homeUrl))
        return;
    m_dav.ask(
        {"PROPFIND", homeUrl, dav::CollectionPropfind(), 1}, [this, homeUrl](const dav::Multistatus& list) {
            QList<std::pair<QString, QString>> found;
            bool syncReport = false;
            for (const dav::Entry& c : list.entries) {
                if (!c.calendar || !c.events)
                    continue;
                QUrl at;
                at.setPath(c.href);
                const QUrl url = homeUrl.resolved(c.href.contains(QLatin1String("://")) ? QUrl(c.href) : at);
                if (!here(url))
                    return;
                found.append({CollectionUrl(url.toString()).toString(), c.displayName});
                syncReport = c.syncReport;
            }
            if (found.isEmpty())
                return m_dav.fail(faults::NoEventCalendarAt(m_account.toString()));
            if (found.size() > 1) {
                // Never one of them at random: the person picks the calendar to sync.
                m_calendars = found;
                return m_dav.fail(faults::ChooseCalendar(HostOf(m_account), found));
            }
            m_state.collection = found.front().first;
            m_name = found.front().second;
            m_state.reports = syncReport ? 1 : 0;
            m_dav.setCollection(CollectionUrl(m_state.collection));
            m_done();
        });
}

QString Discovery::calendarText() const
{
    if (m_state.collection.isEmpty() || m_name.isEmpty())
        return m_state.collection;
    return QStringLiteral("„%1“ (%2)").arg(m_name, m_state.collection);
}

void Discovery::probe()
{
    m_dav.ask({"PROPFIND", m_dav.collection(), dav::CollectionPropfind(), 0},
              [this](const dav::Multistatus& ms) {
                  if (ms.entries.empty())
                      return m_dav.fail(faults::BadReply(m_account.host(), {}));
                  if (!ms.entries.front().calendar)
                      return m_dav.fail(faults::NotACalendar(m_dav.collection().toString()));
                  m_name = ms.entries.front().displayName;
                  m_state.reports = ms.entries.front().syncReport ? 1 : 0;
                  m_done();
              });
}

} // namespace dw::sync
