#include "sync/SyncEngine.h"

#include "sync/Dav.h"

namespace dw::sync {

namespace {

// Events fetched in one calendar-multiget.
constexpr int FetchBatch = 200;
// Uploads under way at once: as many as the network layer keeps connections to a host.
constexpr int Parallel = 6;
// Passes in a row when an upload met a change made meanwhile (412).
constexpr int MaxRounds = 4;

} // namespace

QString SyncReport::text() const
{
    if (!ok())
        return error;
    QStringList lines;
    const auto add = [&lines](int n, const QString& text) {
        if (n > 0)
            lines << text.arg(n);
    };
    add(added, QStringLiteral("Vom Server neu: %1"));
    add(changed, QStringLiteral("Vom Server geändert: %1"));
    add(removed, QStringLiteral("Auf dem Server gelöscht: %1"));
    add(uploaded, QStringLiteral("Zum Server gesendet: %1"));
    add(deleted, QStringLiteral("Auf dem Server gelöscht von hier: %1"));
    add(conflicts, QStringLiteral("Hier und auf dem Server geändert, beide Fassungen behalten: %1"));
    add(unreadable, QStringLiteral("Auf dem Server nicht lesbar, übersprungen: %1"));
    return lines.isEmpty() ? QStringLiteral("Abgeglichen, nichts geändert.")
                           : QStringLiteral("Abgeglichen.\n") + lines.join(QLatin1Char('\n'));
}

SyncEngine::SyncEngine(CalendarGrid& grid, const QString& dataFolder, std::unique_ptr<Transport> transport,
                       QObject* parent)
    : QObject(parent), m_grid(grid), m_statePath(SyncStatePath(dataFolder)), m_transport(std::move(transport))
{
    qRegisterMetaType<dw::sync::SyncReport>();
    m_stateLoaded = m_state.load(m_statePath);
    if (m_stateLoaded)
        verifyLinks();
}

SyncEngine::~SyncEngine()
{
    m_transport->cancelAll();
}

void SyncEngine::setAccount(const Account& account)
{
    m_account = account;
    m_transport->setCredentials(account.user, account.password);
}

void SyncEngine::cancel()
{
    m_transport->cancelAll();
    m_inFlight = 0;
    m_running = false;
    m_again = false;
}

void SyncEngine::noteDeleted(QDate day, int index)
{
    if (!m_stateLoaded)
        return;
    for (Link& l : m_state.links)
        if (l.alive() && l.day == day && l.index == index)
            l.day = QDate();
    shiftAfterDelete(day, index);
    writeState();
}

void SyncEngine::start()
{
    if (m_running) {
        m_again = true;
        return;
    }
    m_running = true;
    m_again = false;
    m_round = 0;
    m_report = {};
    if (!m_account.url.isValid() || m_account.url.host().isEmpty()) {
        finish(SyncReport::Fault::NoAccount, QStringLiteral("Es ist kein Kalender-Server eingerichtet."));
        return;
    }
    const QString scheme = m_account.url.scheme();
    if (scheme != QLatin1String("https") &&
        !(scheme == QLatin1String("http") && IsLoopbackHost(m_account.url.host()))) {
        finish(SyncReport::Fault::Insecure,
               QStringLiteral("Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen; "
                              "bitte eine https://-Adresse angeben."));
        return;
    }
    if (!m_stateLoaded) {
        finish(SyncReport::Fault::Store,
               QStringLiteral("%1 kann nicht gelesen werden; es wurde nichts abgeglichen.").arg(m_statePath));
        return;
    }
    m_state.compact();
    if (m_state.account != m_account.url.toString()) {
        // Another server or calendar: what was linked to the old one means nothing there.
        m_state.clear();
        m_state.account = m_account.url.toString();
    }
    if (m_state.collection.isEmpty())
        discover();
    else if (m_state.reports < 0)
        probeCollection();
    else
        // Known from an earlier pass: no need to ask again what the calendar offers.
        list();
}

void SyncEngine::send(const QByteArray& method, const QUrl& url, const QByteArray& body, int depth,
                      std::function<void(const HttpReply&)> done, const QByteArray& ifMatch, bool ifNoneMatch)
{
    HttpRequest r;
    r.method = method;
    r.url = url;
    r.body = body;
    if (!body.isEmpty())
        r.headers.append(std::pair<QByteArray, QByteArray>(
            "Content-Type", method == "PUT" ? QByteArray("text/calendar; charset=utf-8")
                                            : QByteArray("application/xml; charset=utf-8")));
    if (depth >= 0)
        r.headers.append(std::pair<QByteArray, QByteArray>("Depth", QByteArray::number(depth)));
    if (!ifMatch.isEmpty())
        r.headers.append(std::pair<QByteArray, QByteArray>("If-Match", ifMatch));
    if (ifNoneMatch)
        r.headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
    ++m_inFlight;
    m_transport->send(r, [this, done = std::move(done)](const HttpReply& reply) {
        --m_inFlight;
        if (m_running)
            done(reply);
    });
}

bool SyncEngine::failed(const HttpReply& reply, const QString& what)
{
    using F = HttpReply::Failure;
    const QString server = m_account.url.host();
    switch (reply.failure) {
    case F::None:
        break;
    case F::Unreachable:
        finish(SyncReport::Fault::Unreachable,
               QStringLiteral("Der Server %1 ist nicht erreichbar. Der Abgleich wird später wiederholt; "
                              "nichts geht verloren.")
                   .arg(server));
        return true;
    case F::TimedOut:
        finish(SyncReport::Fault::TimedOut,
               QStringLiteral("Der Server %1 antwortet nicht (Zeitüberschreitung). Der Abgleich wird später "
                              "wiederholt.")
                   .arg(server));
        return true;
    case F::Certificate:
        finish(
            SyncReport::Fault::Certificate,
            QStringLiteral("Das Zertifikat des Servers %1 („%2“) ist nicht vertrauenswürdig; die Verbindung "
                           "wurde abgelehnt.")
                .arg(server, reply.detail));
        return true;
    case F::Insecure:
        finish(SyncReport::Fault::Insecure,
               QStringLiteral("Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen."));
        return true;
    case F::Other:
        finish(SyncReport::Fault::Unreachable,
               QStringLiteral("Verbindung zum Server %1 gescheitert: %2").arg(server, reply.detail));
        return true;
    }
    if (reply.status == 401) {
        finish(SyncReport::Fault::Unauthorized,
               QStringLiteral("Der Server %1 lehnt Benutzername oder Passwort ab.").arg(server));
        return true;
    }
    if (reply.status == 403) {
        finish(SyncReport::Fault::Forbidden,
               QStringLiteral("Der Server %1 verweigert den Zugriff (%2).").arg(server, what));
        return true;
    }
    if (reply.status == 404) {
        finish(SyncReport::Fault::NotFound,
               QStringLiteral("Den Kalender %1 gibt es auf dem Server nicht (mehr).")
                   .arg(m_collection.toString()));
        return true;
    }
    if (reply.status < 200 || reply.status >= 300) {
        finish(SyncReport::Fault::Server,
               QStringLiteral(
                   "Der Server %1 meldet einen Fehler (%2 bei %3). Der Abgleich wird später wiederholt.")
                   .arg(server)
                   .arg(reply.status)
                   .arg(what));
        return true;
    }
    return false;
}

void SyncEngine::finish(SyncReport::Fault fault, const QString& error)
{
    m_transport->cancelAll();
    m_inFlight = 0;
    m_report.fault = fault;
    m_report.error = error;
    if (m_stateLoaded && fault != SyncReport::Fault::NoAccount)
        writeState();
    m_running = false;
    const SyncReport report = m_report;
    const bool again = m_again && report.ok();
    emit finished(report);
    if (again)
        start();
}

void SyncEngine::ask(const QByteArray& method, const QUrl& url, const QByteArray& body, int depth,
                     std::function<void(const dav::Multistatus&)> done,
                     std::function<bool(const HttpReply&)> first)
{
    send(method, url, body, depth,
         [this, method, done = std::move(done), first = std::move(first)](const HttpReply& r) {
             if ((first && first(r)) || failed(r, QString::fromLatin1(method)))
                 return;
             dav::Multistatus ms;
             QString error;
             if (!dav::Parse(r.body, ms, error))
                 return badReply(error);
             done(ms);
         });
}

void SyncEngine::badReply(const QString& error)
{
    finish(
        SyncReport::Fault::BadReply,
        error.isEmpty()
            ? QStringLiteral("Der Server %1 antwortet nicht wie ein CalDAV-Server.").arg(m_account.url.host())
            : error);
}

QUrl SyncEngine::urlOf(const QString& href) const
{
    QUrl path;
    path.setPath(href);
    return m_collection.resolved(path);
}

QString SyncEngine::hrefOf(const QUrl& url) const
{
    return url.path();
}

// The address may name the calendar itself or the server (or a user's
// principal): then the first calendar of the user's calendar home is taken
// (RFC 4791 section 6.2.1, RFC 5397).
void SyncEngine::discover()
{
    const auto home = [this](const QString& href) {
        const QUrl homeUrl = m_account.url.resolved(QUrl(href));
        ask("PROPFIND", homeUrl, dav::CollectionPropfind(), 1, [this, homeUrl](const dav::Multistatus& list) {
            for (const dav::Entry& c : list.entries) {
                if (c.calendar && c.events) {
                    QUrl at;
                    at.setPath(c.href);
                    m_state.collection = homeUrl.resolved(at).toString();
                    return probeCollection();
                }
            }
            finish(SyncReport::Fault::NotFound,
                   QStringLiteral("Unter %1 gibt es keinen Kalender für Termine.")
                       .arg(m_account.url.toString()));
        });
    };
    ask("PROPFIND", m_account.url, dav::CollectionPropfind(), 0, [this, home](const dav::Multistatus& ms) {
        if (ms.entries.empty())
            return badReply({});
        const dav::Entry& e = ms.entries.front();
        if (e.calendar) {
            m_state.collection = m_account.url.toString();
            return probeCollection();
        }
        if (!e.calendarHome.isEmpty())
            return home(e.calendarHome);
        if (e.principal.isEmpty())
            return finish(
                SyncReport::Fault::NotFound,
                QStringLiteral("Unter %1 ist kein Kalender zu finden.").arg(m_account.url.toString()));
        ask("PROPFIND", m_account.url.resolved(QUrl(e.principal)), dav::CollectionPropfind(), 0,
            [this, home](const dav::Multistatus& p) {
                if (p.entries.empty() || p.entries.front().calendarHome.isEmpty())
                    return finish(
                        SyncReport::Fault::NotFound,
                        QStringLiteral("Der Server nennt keinen Ort für Kalender (calendar-home-set)."));
                home(p.entries.front().calendarHome);
            });
    });
}

void SyncEngine::probeCollection()
{
    QUrl collection(m_state.collection);
    if (!collection.path().endsWith(QLatin1Char('/')))
        collection.setPath(collection.path() + QLatin1Char('/'));
    m_collection = collection;
    ask("PROPFIND", m_collection, dav::CollectionPropfind(), 0, [this](const dav::Multistatus& ms) {
        if (ms.entries.empty())
            return badReply({});
        if (!ms.entries.front().calendar)
            return finish(SyncReport::Fault::NotFound,
                          QStringLiteral("%1 ist kein Kalender.").arg(m_collection.toString()));
        m_state.reports = ms.entries.front().syncReport ? 1 : 0;
        list();
    });
}

void SyncEngine::list()
{
    m_collection = QUrl(m_state.collection);
    if (!m_collection.path().endsWith(QLatin1Char('/')))
        m_collection.setPath(m_collection.path() + QLatin1Char('/'));
    m_syncReport = m_state.reports == 1 && m_useSyncReport;
    m_changed.clear();
    m_removed.clear();
    m_fetched.clear();
    m_uploads.clear();
    if (!m_syncReport) {
        ask("PROPFIND", m_collection, dav::EtagPropfind(), 1, [this](const dav::Multistatus& ms) {
            QHash<QString, QByteArray> etags;
            for (const dav::Entry& e : ms.entries)
                if (!e.collection && e.status == 200 && !e.etag.isEmpty())
                    etags.insert(e.href, e.etag);
            m_newToken.clear();
            listed(etags, {}, true);
        });
        return;
    }
    const bool incremental = !m_state.token.isEmpty();
    const auto tokenGone = [this, incremental](const HttpReply& reply) {
        if (!incremental || reply.failure != HttpReply::Failure::None ||
            (reply.status != 403 && reply.status != 409 && reply.status != 400))
            return false;
        // The token is no longer valid (RFC 6578 3.2): compare everything once.
        m_state.token.clear();
        list();
        return true;
    };
    ask(
        "REPORT", m_collection, dav::SyncCollection(m_state.token), 0,
        [this, incremental](const dav::Multistatus& ms) {
            QHash<QString, QByteArray> etags;
            QSet<QString> removed;
            const QString self = hrefOf(m_collection);
            for (const dav::Entry& e : ms.entries) {
                if (e.href == self || e.href.endsWith(QLatin1Char('/')))
                    continue;
                if (e.status == 404)
                    removed.insert(e.href);
                else if (e.status == 200 && !e.etag.isEmpty())
                    etags.insert(e.href, e.etag);
            }
            m_newToken = ms.syncToken;
            listed(etags, removed, !incremental);
        },
        tokenGone);
}

void SyncEngine::listed(const QHash<QString, QByteArray>& etags, const QSet<QString>& removed, bool complete)
{
    for (auto it = etags.cbegin(); it != etags.cend(); ++it) {
        const auto known = m_state.resources.constFind(it.key());
        if (known == m_state.resources.cend() || !known->onServer || known->etag != it.value())
            m_changed.insert(it.key(), it.value());
    }
    m_removed = removed;
    if (complete)
        for (auto it = m_state.resources.cbegin(); it != m_state.resources.cend(); ++it)
            if (it->onServer && !etags.contains(it.key()))
                m_removed.insert(it.key());
    fetch();
}

void SyncEngine::fetch()
{
    // What changed there, and what changed here and is sent as a change of the server's object.
    QSet<QString> wanted(m_changed.keyBegin(), m_changed.keyEnd());
    for (const Link& l : m_state.links) {
        const auto r = m_state.resources.constFind(l.href);
        if (r == m_state.resources.cend() || !r->onServer || m_removed.contains(l.href))
            continue;
        const Appointment* a = appointmentOf(l);
        const bool changedHere =
            a ? (UserHash(l.day, *a) != l.base || a->LastReminded != l.last || a->Done != l.done)
              : !l.rid.isEmpty();
        if (changedHere || r->etag.isEmpty())
            wanted.insert(l.href);
    }
    QStringList hrefs(wanted.cbegin(), wanted.cend());
    if (hrefs.isEmpty())
        return merge();
    auto left = std::make_shared<int>(static_cast<int>((hrefs.size() + FetchBatch - 1) / FetchBatch));
    for (qsizetype from = 0; from < hrefs.size(); from += FetchBatch) {
        const QStringList batch = hrefs.mid(from, FetchBatch);
        ask("REPORT", m_collection, dav::Multiget(batch), 1, [this, left](const dav::Multistatus& ms) {
            for (const dav::Entry& e : ms.entries) {
                if (e.status == 404)
                    m_removed.insert(e.href);
                else if (e.status == 200 && e.hasCalendarData)
                    m_fetched.insert(e.href, {e.etag, e.calendarData});
            }
            if (--*left == 0)
                merge();
        });
    }
}

void SyncEngine::merge()
{
    if (mayChangeGrid && !mayChangeGrid()) {
        // A reminder or a question is open and holds on to an appointment: try again shortly.
        QTimer::singleShot(500, this, [this] {
            if (m_running)
                merge();
        });
        return;
    }
    int before = m_report.added + m_report.changed + m_report.removed + m_report.conflicts;
    for (auto it = m_fetched.cbegin(); it != m_fetched.cend(); ++it)
        mergeResource(it.key(), it.value());
    for (const QString& href : std::as_const(m_removed))
        if (!m_fetched.contains(href))
            mergeResource(href, {});
    planUploads();
    if (m_report.added + m_report.changed + m_report.removed + m_report.conflicts != before)
        emit gridChanged();
    if (saveStore && !saveStore())
        return finish(SyncReport::Fault::Store,
                      QStringLiteral("termine.dat konnte nicht gespeichert werden; der Abgleich wird später "
                                     "wiederholt."));
    if (!m_newToken.isEmpty())
        m_state.token = m_newToken;
    writeState();
    push();
}

void SyncEngine::push()
{
    if (m_uploads.empty() && m_inFlight == 0) {
        if (m_conflictRound && ++m_round < MaxRounds) {
            m_conflictRound = false;
            return list();
        }
        return finish();
    }
    while (!m_uploads.empty() && m_inFlight < Parallel) {
        Upload upload = std::move(m_uploads.back());
        m_uploads.pop_back();
        const QUrl url = urlOf(upload.href);
        const QByteArray method = upload.method;
        const QByteArray body = upload.body;
        const QByteArray ifMatch = upload.ifMatch;
        const bool create = upload.create;
        send(
            method, url, body, -1,
            [this, upload = std::move(upload)](const HttpReply& reply) {
                pushed(upload, reply);
                if (m_running)
                    push();
            },
            ifMatch, create);
    }
}

} // namespace dw::sync
