#pragma once

#include "ical/IcalCollected.h"
#include "ical/IcalRecurrence.h"
#include "ical/IcalSeries.h"

#include <QSet>

namespace dw::ical {

// What the reader knows of an event beyond libical's component.
struct EventInfo
{
    EventLines lines;
    QByteArray key; // the lines that decide its occurrences
    QByteArray uid;
    QByteArray stamp; // DTSTAMP's value as the file gives it
    bool cancelled = false;
};

// Turns each event libical parsed into its appointments: its occurrences, less
// those a change (RECURRENCE-ID) of the same UID replaces; a change stands for
// itself alone, and what is cancelled (STATUS:CANCELLED) is counted, not taken.
class EventConverter
{
public:
    EventConverter(Budget& budget, bool keepSeries)
        : m_budget(budget), m_recurrences(budget), m_collected(budget), m_series(budget, m_recurrences),
          m_keepSeries(keepSeries)
    {
    }

    // A place in file order for the next event, converted now or later.
    std::size_t place() { return m_collected.place(); }
    // `zones`: the VTIMEZONEs of the event's VCALENDAR.
    void convert(icalcomponent* event, const EventInfo& info, std::size_t place, icalcomponent* zones);
    void checkZone(icalcomponent* zone, int line, int& changesInFile)
    {
        m_recurrences.checkZone(zone, line, changesInFile);
    }

    std::size_t appointments() const { return m_collected.size(); }
    ImportedCalendar finish()
    {
        m_series.finish(m_out, m_collected);
        m_out.appointments = m_collected.take();
        return std::move(m_out);
    }

private:
    Budget& m_budget;
    Recurrences m_recurrences;
    Collected m_collected;
    SeriesCollector m_series;
    bool m_keepSeries;
    ImportedCalendar m_out;
    QSet<QByteArray> m_seen;
};

} // namespace dw::ical
