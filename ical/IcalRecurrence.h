#pragma once

#include "ical/IcalTimes.h"

#include <QHash>

#include <vector>

namespace dw::ical {

// What 28 years (every kind of year and weekday) show of the days a rule's
// month, day and weekday parts let pass: whether any does, the longest run of
// days none does, and the most that pass in one period of the rule's frequency.
struct DayScan
{
    bool any = false;
    int longestGap = 0;
    int mostInPeriod = 0;
};
// Kept for one reading: many events share their day parts (every Monday).
using DayScans = QHash<QByteArray, DayScan>;

// The occurrences of one event from 2000 to 2100 in local time: its start,
// RRULE and RDATE less EXDATE, the first ones up to the bound. Rules are
// walked with a bounded number of steps; what the bounds leave out is counted
// in `out`. Events that recur the same way are expanded once.
class Recurrences
{
public:
    explicit Recurrences(Budget& budget) : m_budget(budget) {}

    // `key` names what decides the occurrences (the lines of DTSTART, RRULE,
    // RDATE and EXDATE); empty for an event without recurrence.
    std::vector<Moment> of(icalcomponent* event, icaltimetype start, const icaltimezone* zone,
                           const QString& tzid, icalcomponent* zones, const EventLines& lines,
                           const QByteArray& key, ImportedCalendar& out);

    // Refuses a time zone whose rules change the offset more often up to 2100
    // than the bound allows: libical would expand every change when the zone is used.
    void checkZone(icalcomponent* zone, int line, int& changesInFile);

private:
    struct Expansion
    {
        std::vector<Moment> moments;
        int outsideRange = 0;
        int cutOff = 0;
        bool ended = false;
    };
    Expansion expand(icalcomponent* event, icaltimetype start, const icaltimezone* zone, const QString& tzid,
                     icalcomponent* zones, const EventLines& lines);

    Budget& m_budget;
    QHash<QByteArray, Expansion> m_cache;
    DayScans m_scans;
};

} // namespace dw::ical
