#pragma once

#include "store/CalendarGrid.h"
#include "sync/DavClient.h"
#include "sync/Discovery.h"
#include "sync/Listing.h"
#include "sync/MergePass.h"
#include "sync/SyncReport.h"
#include "sync/SyncState.h"
#include "sync/Ties.h"
#include "sync/Transport.h"
#include "sync/Uploads.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace dw::sync {

struct Account
{
    QUrl url; // the calendar collection, or the server's address to find it from
    QString user;
    QString password;
    QByteArray certificate{};               // SHA-256 (hex) of a certificate the person trusts
    dw::ical::Bounds bounds = PassBounds(); // what one pass may cost
};

// Two-way sync of the grid with one calendar collection. A pass finds the
// calendar (Discovery), lists what changed there (Listing), fetches those events
// and the ones changed here and merges each as it arrives (MergePass), saves
// termine.dat and the state, and then sends what changed here (Uploads); a
// pass cut off anywhere is taken up by the next one.
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
    // The windows deleted an appointment: the state file learns where the
    // others now stand, so that the next start finds each again.
    void noteDeleted();
    // Stops the pass at once, as a killed program would.
    void cancel();

    // False while something holds on to appointments (a reminder, a modal box):
    // the merge waits for it.
    std::function<bool()> mayChangeGrid;
    // Writes termine.dat; false when that failed.
    std::function<bool()> saveStore;
    // Compare ETags even where the server offers sync-collection.
    void setUseSyncReport(bool use) { m_listing.setUseSyncReport(use); }

signals:
    void finished(const dw::sync::SyncReport& report);
    // Appointments came in, changed or went.
    void gridChanged();

private:
    struct Fetched
    {
        QString href;
        QByteArray etag;
        QByteArray data;
    };

    void finish(const Fault& fault = {});
    void round();
    void listed(const Changes& changes);
    void mergeWaiting();
    void merged();
    bool save();
    void writeState();

    CalendarGrid& m_grid;
    QString m_statePath;
    std::unique_ptr<Transport> m_transport;
    Account m_account;
    SyncState m_state;
    Ties m_ties;
    SyncReport m_report;
    std::optional<dw::ical::Budget> m_budget; // of the pass under way
    DavClient m_dav;
    Discovery m_discovery;
    Listing m_listing;
    MergePass m_merge;
    Uploads m_uploads;
    bool m_stateLoaded = false;
    bool m_running = false;
    bool m_again = false;
    int m_round = 0;
    QByteArray m_token;             // the listing's new sync token, kept once the merge is saved
    std::vector<Fetched> m_waiting; // fetched, to be merged once the grid may change
    bool m_fetched = false;         // every event of the round has arrived
    bool m_retrying = false;        // a later try of the merge is due
    bool m_unsaved = false;         // the merge changed the grid since it was last saved
};

} // namespace dw::sync
