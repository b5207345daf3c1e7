#pragma once

#include "store/CalendarGrid.h"
#include "sync/SyncState.h"

#include <QHash>
#include <QMultiHash>

#include <optional>

namespace dw::sync {

// The state's ties together with the grid: after a start each finds its
// appointment again, and during a pass they are looked up by event and by
// appointment. Indexes into SyncState::ties stay valid until reindex().
class Ties
{
public:
    Ties(SyncState& state, CalendarGrid& grid) : m_state(state), m_grid(grid) {}

    // After the state was loaded: each tie finds its appointment (by the place
    // and fingerprint the file kept), and a tie of the first format whose
    // appointment still holds what was agreed gets its base; then the index.
    void attach();
    // Drops the ties that ended and builds the index afresh.
    void reindex();

    QList<int> ofHref(const QString& href) const { return m_byHref.values(href); }
    // The tie of an appointment, -1 when it has none.
    int ofId(std::uint32_t id) const { return id == 0 ? -1 : m_byId.value(id, -1); }
    Tie& operator[](int tie) { return m_state.ties[static_cast<std::size_t>(tie)]; }
    int count() const { return static_cast<int>(m_state.ties.size()); }
    int add(Tie tie);
    // The tie ends: its event and appointment are no longer each other's.
    void end(int tie);
    // The tie's appointment is another one now (deleted here, it came back).
    void rebind(int tie, std::uint32_t id);
    // The tie's appointment and where it stands; nullptr when it was deleted here.
    Appointment* appointment(int tie, CalendarGrid::Place* place = nullptr);
    // The appointment as the merge sees it: its fields as a server would give
    // them back, or the base itself when nothing the person sees changed;
    // nullopt when it was deleted here.
    std::optional<EventFields> here(int tie);
    // Whether the tie's appointment changed (or went) since the last sync.
    bool changedHere(int tie);
    // Before the state is written: where each tie's appointment stands now and what it holds.
    void notePlaces();

private:
    SyncState& m_state;
    CalendarGrid& m_grid;
    QMultiHash<QString, int> m_byHref;
    QHash<std::uint32_t, int> m_byId;
};

// What an appointment holds, to tell it again after a start.
std::uint64_t Fingerprint(QDate day, const Appointment& a);

} // namespace dw::sync
