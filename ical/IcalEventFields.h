#pragma once

#include "ical/IcalTimes.h"

// The fields of one event that libical has parsed, read into an appointment.
namespace dw::ical {

// The event's reminder: of several alarms the one that comes first (the
// program has one lead per appointment), its repeat interval from DURATION.
void ReadAlarms(icalcomponent* event, const Moment& begins, icalcomponent* zones, const EventLines& lines,
                ImportedAppointment& item);
// X-DATUMSWECKER-LAST-REMINDED and X-DATUMSWECKER-DONE.
void ReadOwnProperties(icalcomponent* event, const EventLines& lines, ImportedAppointment& item);
// The X-LIC-ERRORTYPE of the first fault libical noted in the event or its alarms.
int ParserErrorType(icalcomponent* event);

// Whether `found` holds for a property of the kind in the event or its alarms; stops at the first.
template <typename Found> bool AnyProperty(icalcomponent* event, icalproperty_kind kind, Found found)
{
    for (icalcomponent* c = event; c;
         c = c == event ? icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT)
                        : icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT))
        for (icalproperty* p = icalcomponent_get_first_property(c, kind); p;
             p = icalcomponent_get_next_property(c, kind))
            if (found(p))
                return true;
    return false;
}

} // namespace dw::ical
