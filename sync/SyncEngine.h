#pragma once

#include "store/CalendarGrid.h"
#include "sync/Dav.h"
#include "sync/SyncReport.h"
#include "sync/SyncState.h"
#include "sync/Transport.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

namespace dw::sync {

struct Account
{
    QUrl url; // the calendar collection, or the server's address to find it from
    QString user;
    QString password;
};

// Two-way sync of the grid with one calendar collection. A pass lists what
// changed on the server (sync-collection, or the ETags of a PROPFIND), fetches
// it, merges it into the grid in one step, saves, and then sends what changed
// here; a pass cut off anywhere is taken up by the next one.
class SyncEngine : public QObject
{
    Q_OBJECT
public:
    SyncEngine(CalendarGrid& grid, const QString& dataFolder, std::unique_ptr<Transport> transport,
               QObject* parent = nullptr);
    ~SyncEngine() override;

    void setAccount(const Account& account);
    // Starts a pass; asked while one runs, another follows it.
    void start();
    bool running() const { return m_running; }
    // The windows deleted the appointment at `index` of `day`.
    void noteDeleted(QDate day, int index);
    // Stops the pass at once, as a killed program would.
    void cancel();

    // False while something holds on to appointments (a reminder, a modal box):
    // the merge waits for it.
    std::function<bool()> mayChangeGrid;
    // Writes termine.dat; false when that failed.
    std::function<bool()> saveStore;
    // Compare ETags even where the server offers sync-collection.
    void setUseSyncReport(bool use) { m_useSyncReport = use; }

signals:
    void finished(const dw::sync::SyncReport& report);
    // Appointments came in, changed or went.
    void gridChanged();

private:
    struct Upload
    {
        QString href;
        QByteArray method;
        QByteArray body;
        QByteArray ifMatch;
        bool create = false;
        std::vector<int> links; // links whose content this sends
        std::vector<QByteArray> hashes;
        std::vector<std::pair<double, std::uint8_t>> reminders;
    };
    struct Fetched
    {
        QByteArray etag;
        QByteArray data;
    };

    void send(const QByteArray& method, const QUrl& url, const QByteArray& body, int depth,
              std::function<void(const HttpReply&)> done, const QByteArray& ifMatch = {},
              bool ifNoneMatch = false);
    bool failed(const HttpReply& reply, const QString& what);
    void finish(SyncReport::Fault fault = SyncReport::Fault::None, const QString& error = {});
    void badReply(const QString& error);
    // A request whose answer is a multistatus: `done` gets it read; faults end
    // the pass. `first`, when it returns true, has dealt with the reply itself.
    void ask(const QByteArray& method, const QUrl& url, const QByteArray& body, int depth,
             std::function<void(const dav::Multistatus&)> done,
             std::function<bool(const HttpReply&)> first = {});

    void discover();
    void probeCollection();
    void list();
    void listed(const QHash<QString, QByteArray>& etags, const QSet<QString>& removed, bool complete);
    void fetch();
    void merge();
    void push();
    void pushed(const Upload& upload, const HttpReply& reply);

    // Merge parts (SyncMerge.cpp).
    void verifyLinks();
    Appointment* appointmentOf(const Link& link) const;
    void mergeResource(const QString& href, const Fetched& fetched);
    void planUploads();
    void shiftAfterDelete(QDate day, int index);
    int addAppointment(QDate day, const dw::ical::StoreFields& fields, const QByteArray& nameSuffix = {});
    int newLink(const QString& href, const QString& rid, QDate day, int index);
    void index();
    void writeState();
    QUrl urlOf(const QString& href) const;
    QString hrefOf(const QUrl& url) const;

    CalendarGrid& m_grid;
    QString m_statePath;
    std::unique_ptr<Transport> m_transport;
    Account m_account;
    SyncState m_state;
    bool m_stateLoaded = false;
    bool m_running = false;
    bool m_again = false;
    bool m_useSyncReport = true;
    bool m_syncReport = false;
    int m_round = 0;
    int m_inFlight = 0;
    QUrl m_collection;
    SyncReport m_report;
    // What the listing found changed on the server, and its data.
    QHash<QString, QByteArray> m_changed;
    QSet<QString> m_removed;
    QHash<QString, Fetched> m_fetched;
    QByteArray m_newToken;
    std::vector<Upload> m_uploads;
    bool m_conflictRound = false;
    // During a merge: the links of each event, and the positions that have a link.
    QHash<QString, std::vector<int>> m_byHref;
    QSet<qint64> m_claimed;
};

} // namespace dw::sync
