#pragma once

#include "ical/IcalTimes.h"

#include <QHash>

#include <vector>

namespace dw::ical {

// The occurrences of one event from 2000 to 2100 in local time: its start,
// RRULE and RDATE less EXDATE, the first ones up to the bound. Rules are
// walked with a bounded number of steps; what the bounds leave out is counted
// in `out`. Events that recur the same way are expanded once.
class Recurrences
{
public:
    Recurrences(const ReadLimits& limits, const Deadline& deadline) : m_limits(limits), m_deadline(deadline)
    {
    }

    // `key` names what decides the occurrences (the lines of DTSTART, RRULE,
    // RDATE and EXDATE); empty for an event without recurrence.
    std::vector<Moment> of(icalcomponent* event, icaltimetype start, const icaltimezone* zone,
                           const QString& tzid, icalcomponent* zones, const EventLines& lines,
                           const QByteArray& key, ImportedCalendar& out);

private:
    struct Expansion
    {
        std::vector<Moment> moments;
        int outsideRange = 0;
        int cutOff = 0;
        bool ended = false;
    };
    Expansion expand(icalcomponent* event, icaltimetype start, const icaltimezone* zone, const QString& tzid,
                     icalcomponent* zones, const EventLines& lines) const;

    const ReadLimits& m_limits;
    const Deadline& m_deadline;
    QHash<QByteArray, Expansion> m_cache;
};

// Refuses a time zone whose rules change the offset more often up to 2100 than
// the bound allows: libical would expand every change when the zone is used.
void CheckZone(icalcomponent* zone, int line, const ReadLimits& limits, const Deadline& deadline,
               int& changesInFile);

} // namespace dw::ical
