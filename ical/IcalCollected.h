#pragma once

#include "ical/IcalTimes.h"

#include <QHash>

#include <set>
#include <vector>

namespace dw::ical {

// The appointments a reading collects, event by event in file order (an event
// read late, once its time zone is known, keeps its place), and the changed
// occurrences (RECURRENCE-ID) of each series: the one a change replaces is
// left out once the whole file is read, whichever of the two came first.
class Collected
{
public:
    explicit Collected(const Budget& budget) : m_budget(budget) {}

    // A place for the next event's appointments, in file order.
    std::size_t place();
    // The changes of the UID (none for a change itself) apply to what fills the place.
    void fill(std::size_t at, const std::vector<Moment>& moments, ImportedAppointment item,
              const QByteArray& uid);
    // The occurrence of the event of this UID at `moment` is changed or cancelled;
    // a date alone names every occurrence of its day.
    void replace(const QByteArray& uid, const Moment& moment, bool wholeDay);

    // What filled the place goes: a series took it.
    void drop(std::size_t at) { m_places[at].to = m_places[at].from; }

    std::size_t size() const { return m_items.size(); }
    std::vector<ImportedAppointment> take();

private:
    struct Place
    {
        std::size_t from = 0;
        std::size_t to = 0;
        QByteArray uid;
    };
    struct Changes
    {
        int count = 0;
        std::set<Moment> moments;
        std::set<QDate> days;
    };

    const Budget& m_budget;
    std::vector<ImportedAppointment> m_items;
    std::vector<Place> m_places;
    bool m_inOrder = true;                // every place filled in turn
    QHash<QByteArray, Changes> m_changes; // by UID
};

} // namespace dw::ical
