#pragma once

#include "ical/IcalCollected.h"
#include "ical/IcalRecurrence.h"

#include "series/SeriesSet.h"

#include <QHash>

#include <string>
#include <vector>

namespace dw::ical {

struct EventInfo;

// Recurring events kept as series: each event with a daily, weekly, monthly or
// yearly rule or extra dates becomes one series, read by the series file's own
// reader from the event's times and rule, and its changed occurrences become
// its exceptions once the whole file is read. Rules in hours, minutes or
// seconds, and rules too costly to follow to 2100, stay appointments, as
// before, within the bounds per event.
class SeriesCollector
{
public:
    SeriesCollector(Budget& budget, Recurrences& recurrences);

    // Takes the event as a series; false when it is to become appointments.
    // Counts what lies outside 2000 to 2100 or is already in the file in `out`.
    bool take(icalcomponent* event, const EventInfo& info, const ImportedAppointment& item,
              icalcomponent* zones, ImportedCalendar& out);
    // A changed or cancelled occurrence, which its series takes if it has one.
    void change(icalcomponent* event, const EventInfo& info, const ImportedAppointment& item,
                std::size_t place, icalcomponent* zones);
    // Gives each series its changes, which then leave the appointments.
    void finish(ImportedCalendar& out, Collected& collected);

private:
    struct Change
    {
        QByteArray uid;
        std::string text; // the VEVENT of its times alone
        std::size_t place = 0;
        ImportedAppointment item;
        bool cancelled = false;
    };
    struct Kept
    {
        std::string text; // zones and the VEVENT of its times, rule and states
        ImportedAppointment item;
    };
    void attach(std::size_t index, const std::vector<const Change*>& changes, ImportedCalendar& out,
                Collected& collected);

    Budget& m_budget;
    Recurrences& m_recurrences;
    dw::series::SeriesSet m_set;
    std::vector<Kept> m_kept; // beside m_set
    QHash<QByteArray, std::size_t> m_byUid;
    std::vector<Change> m_changes;
};

// A read appointment's fields as a series keeps them; `lost` counts texts with
// characters Windows-1252 cannot hold.
dw::series::Fields SeriesFieldsOf(const ImportedAppointment& item, int& lost);

} // namespace dw::ical
