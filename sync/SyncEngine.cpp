#include "sync/SyncEngine.h"

#include <QCoreApplication>
#include <QTimer>

namespace dw::sync {

namespace {

// Rounds in a row when an upload met a change made meanwhile (412).
constexpr int MaxRounds = 4;
// How soon the merge tries again while the grid is held.
constexpr int RetryMs = 500;

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
    add(added, QCoreApplication::translate("SyncReport", "Vom Server neu: %1"));
    add(changed, QCoreApplication::translate("SyncReport", "Vom Server geändert: %1"));
    add(removed, QCoreApplication::translate("SyncReport", "Auf dem Server gelöscht: %1"));
    add(uploaded, QCoreApplication::translate("SyncReport", "Zum Server gesendet: %1"));
    add(deleted, QCoreApplication::translate("SyncReport", "Auf dem Server gelöscht von hier: %1"));
    add(conflicts, QCoreApplication::translate(
                       "SyncReport", "Hier und auf dem Server geändert, beide Fassungen behalten: %1"));
    add(unreadable,
        QCoreApplication::translate("SyncReport", "Auf dem Server nicht lesbar, übersprungen: %1"));
    add(outside, QCoreApplication::translate("SyncReport", "Außerhalb des Kalenders, übersprungen: %1"));
    return lines.isEmpty()
               ? QCoreApplication::translate("SyncReport", "Abgeglichen, nichts geändert.")
               : QCoreApplication::translate("SyncReport", "Abgeglichen.\n") + lines.join(QLatin1Char('\n'));
}

QString SyncReport::progressText() const
{
    return QCoreApplication::translate(
               "SyncReport", "Der Abgleich wurde dort abgebrochen. Bis dahin vom Server übernommen und "
                             "gespeichert: neu %1, geändert %2, gelöscht %3; zum Server gesendet: %4, dort "
                             "gelöscht: %5. Der Rest folgt beim nächsten Abgleich.")
        .arg(added)
        .arg(changed)
        .arg(removed)
        .arg(uploaded)
        .arg(deleted);
}

QString SyncReport::fullText() const
{
    return calendar.isEmpty() ? text() : text() + QStringLiteral("\nKalender: ") + calendar;
}

SyncEngine::SyncEngine(CalendarGrid& grid, const QString& dataFolder, std::unique_ptr<Transport> transport,
                       QObject* parent)
    : QObject(parent), m_grid(grid), m_statePath(SyncStatePath(dataFolder)),
      m_transport(std::move(transport)), m_ties(m_state, grid),
      m_dav(*m_transport, [this](const Fault& fault) { finish(fault); }), m_discovery(m_dav, m_state),
      m_listing(m_dav, m_state), m_merge(grid, m_state, m_ties, m_report, m_budget),
      m_uploads(m_dav, m_state, m_ties, m_report)
{
    qRegisterMetaType<dw::sync::SyncReport>();
    m_stateLoaded = m_state.load(m_statePath);
    // Every tie finds its appointment now, so the first pass of a run sees them all.
    if (m_stateLoaded)
        m_ties.attach();
}

SyncEngine::~SyncEngine()
{
    m_dav.cancel();
}

void SyncEngine::setAccount(const Account& account)
{
    m_account = account;
    m_transport->setOrigin(account.url);
    m_transport->trustCertificate(account.certificate);
    m_transport->setCredentials(account.user, account.password);
}

void SyncEngine::cancel()
{
    m_dav.cancel();
    m_running = false;
    m_again = false;
}

void SyncEngine::noteDeleted()
{
    // A pass under way writes the state when its merge is saved.
    if (m_stateLoaded && !m_running)
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
    m_unsaved = false;
    if (!m_account.url.isValid() || m_account.url.host().isEmpty())
        return finish(faults::NoAccount());
    if (!SecureOrLoopback(m_account.url))
        return finish(faults::InsecureAddress());
    if (!m_stateLoaded)
        return finish(faults::StateUnreadable(m_statePath));
    // A calendar on another origin than the account's is never taken from the file.
    if (m_state.account != m_account.url.toString() ||
        (!m_state.collection.isEmpty() && !SameOrigin(CollectionUrl(m_state.collection), m_account.url))) {
        // Another server or calendar: what was tied to the old one means nothing there.
        m_state.clear();
        m_state.account = m_account.url.toString();
    }
    m_ties.reindex();
    m_budget.emplace(m_account.bounds);
    m_dav.begin(*m_budget);
    m_dav.setServer(m_account.url.host());
    m_discovery.run(m_account.url, [this] { round(); });
}

void SyncEngine::round()
{
    m_merge.begin();
    m_waiting.clear();
    m_fetched = false;
    m_listing.list([this](const Changes& changes) { listed(changes); });
}

void SyncEngine::listed(const Changes& changes)
{
    m_token = changes.token;
    m_report.outside = changes.outside;
    // What changed there, and what changed here: sent as a change of the server's own object.
    QSet<QString> wanted(changes.changed.keyBegin(), changes.changed.keyEnd());
    for (int tie = 0; tie < m_ties.count(); ++tie) {
        const Tie& t = m_ties[tie];
        const auto resource = m_state.resources.constFind(t.href);
        if (t.href.isEmpty() || resource == m_state.resources.cend() || !resource->onServer ||
            changes.removed.contains(t.href) || wanted.contains(t.href))
            continue;
        if (m_ties.changedHere(tie))
            wanted.insert(t.href);
    }
    for (const QString& href : changes.removed)
        if (!wanted.contains(href))
            m_waiting.push_back({href, {}, {}});
    m_listing.fetch(
        QStringList(wanted.cbegin(), wanted.cend()),
        [this](const QString& href, const QByteArray& etag, const QByteArray& data) {
            m_waiting.push_back({href, etag, data});
            mergeWaiting();
        },
        [this] {
            m_fetched = true;
            mergeWaiting();
        });
}

void SyncEngine::mergeWaiting()
{
    if (!m_running)
        return;
    if (mayChangeGrid && !mayChangeGrid()) {
        // A reminder or a question is open and holds on to an appointment: try again shortly.
        if (!m_retrying) {
            m_retrying = true;
            QTimer::singleShot(RetryMs, this, [this] {
                m_retrying = false;
                m_dav.setAside(std::chrono::milliseconds(RetryMs));
                mergeWaiting();
            });
        }
        return;
    }
    // Merged as each batch arrives, so that only a batch of the server's events is held at a time.
    std::vector<Fetched> waiting = std::move(m_waiting);
    m_waiting.clear();
    try {
        for (const Fetched& f : waiting)
            m_merge.event(f.href, f.etag, f.data);
    } catch (const dw::ical::BoundReached& bound) {
        // Each event before the one that reached the bound was merged whole; they are saved with their ties.
        m_unsaved = m_unsaved || m_merge.gridChanged();
        return finish(faults::Bound(bound.text));
    }
    m_unsaved = m_unsaved || m_merge.gridChanged();
    if (m_fetched)
        merged();
}

void SyncEngine::merged()
{
    m_merge.finish(DavClient::hrefOf(m_dav.collection()));
    if (m_merge.gridChanged())
        emit gridChanged();
    // Saved before anything is sent: every creation is in the state before its PUT.
    if (!save())
        return finish(faults::StoreNotSaved());
    if (!m_token.isEmpty())
        m_state.token = m_token;
    writeState();
    m_uploads.start(m_merge.takeUploads(), [this](bool again) {
        if (again && ++m_round < MaxRounds)
            return round();
        finish();
    });
}

bool SyncEngine::save()
{
    if (saveStore && !saveStore())
        return false;
    m_unsaved = false;
    return true;
}

void SyncEngine::finish(const Fault& fault)
{
    m_dav.cancel();
    m_report.fault = fault.kind;
    m_report.error = fault.text;
    if (fault.kind == SyncReport::Fault::Bound)
        m_report.error += QLatin1Char('\n') + m_report.progressText();
    m_report.fingerprint = fault.fingerprint;
    m_report.calendars = m_discovery.calendars();
    m_report.calendar = m_discovery.calendarText();
    // What was merged before the pass ended is kept: the appointments first,
    // then the ties to them; nothing was sent for them yet.
    if (m_stateLoaded && fault.kind != SyncReport::Fault::NoAccount && (!m_unsaved || save()))
        writeState();
    m_running = false;
    const SyncReport report = m_report;
    const bool again = m_again && report.ok();
    emit finished(report);
    if (again)
        start();
}

void SyncEngine::writeState()
{
    m_ties.notePlaces();
    m_state.save(m_statePath);
}

} // namespace dw::sync
