#pragma once

#include "store/CalendarGrid.h"
#include "sync/Merge.h"
#include "sync/Resource.h"
#include "sync/SyncReport.h"
#include "sync/Ties.h"
#include "sync/Uploads.h"

#include <QHash>
#include <QMultiHash>
#include <QSet>

#include <optional>
#include <vector>

namespace dw::sync {

// The merge of a pass: each event the server sent is merged with its
// appointments (Merge decides), this side's decisions are made in the grid at
// once, the server's become uploads. Appointments without a tie go up as new
// events. Nothing is sent from here.
class MergePass
{
public:
    MergePass(CalendarGrid& grid, SyncState& state, Ties& ties, SyncReport& report,
              std::optional<dw::ical::Budget>& budget)
        : m_grid(grid), m_state(state), m_ties(ties), m_report(report), m_budget(budget)
    {
    }
    // A new round.
    void begin();
    // One event as the server holds it now; empty data: gone there. Past a
    // bound of the pass's budget it throws BoundReached before it changes anything.
    void event(const QString& href, const QByteArray& etag, const QByteArray& data);
    // After every event: creations never confirmed and appointments without a
    // tie become new events under `folder` (the collection's path).
    void finish(const QString& folder);
    std::vector<Upload> takeUploads() { return std::move(m_uploads); }
    // Whether the grid was changed since begin().
    bool gridChanged() const { return m_gridChanged; }

private:
    // False when this side's part could not be done (no memory): the event is read again next time.
    bool mergeTie(int tie, std::optional<EventFields> there, Upload& patch);
    bool fromServer(const QString& href, const QString& rid, const EventFields& there);
    bool apply(int tie, const Merged& m, const std::optional<EventFields>& here,
               const std::optional<EventFields>& there, Upload& patch);
    // An appointment of the fields, and its id; 0 without memory.
    std::uint32_t add(const EventFields& fields);
    bool update(std::uint32_t id, const EventFields& fields);
    void remove(std::uint32_t id);
    // An appointment without a tie on the day that holds what the event holds: an
    // upload whose answer and tie were lost. 0: none.
    std::uint32_t untiedLike(const EventFields& there);
    void create(int tie, const EventFields& fields, const QByteArray& uid);

    CalendarGrid& m_grid;
    SyncState& m_state;
    Ties& m_ties;
    SyncReport& m_report;
    std::optional<dw::ical::Budget>& m_budget; // of the pass under way
    std::vector<Upload> m_uploads;
    QSet<QString> m_merged; // events merged this round
    // Per day (by its place in the grid) the appointments that had no tie when the round first
    // looked at it, by start and name: a day of many is read once, not once for each event.
    QHash<int, QMultiHash<std::pair<qint64, QByteArray>, std::uint32_t>> m_untied;
    bool m_gridChanged = false;
};

} // namespace dw::sync
