#include "sync/EventFields.h"

#include "ical/IcalNames.h"

#include <cmath>
#include <cstring>

namespace dw::sync {

namespace {

using dw::ical::DaysFromSeconds;
using dw::ical::SecondsOfDays;

} // namespace

unsigned DifferingParts(const EventFields& a, const EventFields& b)
{
    unsigned parts = 0;
    if (a.name != b.name)
        parts |= NamePart;
    if (a.description != b.description)
        parts |= DescriptionPart;
    if (a.day != b.day || a.time != b.time)
        parts |= StartPart;
    if (a.lead != b.lead || a.repeat != b.repeat)
        parts |= AlarmPart;
    // Compared bit for bit, so a value that is no number still equals itself.
    if (std::memcmp(&a.lastReminded, &b.lastReminded, sizeof(double)) != 0 || a.done != b.done)
        parts |= ReminderPart;
    return parts;
}

void TakeParts(EventFields& a, const EventFields& b, unsigned parts)
{
    if (parts & NamePart)
        a.name = b.name;
    if (parts & DescriptionPart)
        a.description = b.description;
    if (parts & StartPart) {
        a.day = b.day;
        a.time = b.time;
    }
    if (parts & AlarmPart) {
        a.lead = b.lead;
        a.repeat = b.repeat;
    }
    if (parts & ReminderPart) {
        a.lastReminded = b.lastReminded;
        a.done = b.done;
    }
}

EventFields FieldsOf(const Appointment& a, QDate day)
{
    EventFields f;
    f.day = day;
    f.time = SecondsOfDays(a.TimeOfDay);
    f.name = a.Name;
    f.description = a.Description;
    f.lead = SecondsOfDays(a.FirstLead);
    f.repeat = SecondsOfDays(a.RepeatInterval);
    f.lastReminded = a.LastReminded;
    f.done = a.Done;
    return f;
}

EventFields AsSent(const EventFields& f)
{
    EventFields sent = f;
    sent.time = (f.time % 86400 + 86400) % 86400;
    sent.name = dw::ical::TextAsImported(f.name, false);
    sent.description = dw::ical::TextAsImported(f.description, true);
    // The export leaves out a moment no clock can have made.
    const double last = f.lastReminded;
    sent.lastReminded = last != 0.0 && std::isfinite(last) && std::fabs(last) < 1e7
                            ? dw::ical::ParseLastReminded(dw::ical::FormatLastReminded(last)).value_or(0.0)
                            : 0.0;
    return sent;
}

EventFields FieldsOf(QDate day, const dw::ical::StoreFields& s)
{
    EventFields f;
    f.day = day;
    f.time = SecondsOfDays(s.timeOfDay);
    f.name = s.name;
    f.description = s.description;
    f.lead = SecondsOfDays(s.firstLead);
    f.repeat = SecondsOfDays(s.repeatInterval);
    f.lastReminded = s.lastReminded;
    f.done = s.done;
    return f;
}

bool Apply(const EventFields& f, Appointment& a)
{
    dw::ical::StoreFields s;
    s.name = f.name;
    s.description = f.description;
    s.timeOfDay = DaysFromSeconds(f.time);
    s.firstLead = DaysFromSeconds(f.lead);
    s.repeatInterval = DaysFromSeconds(f.repeat);
    s.lastReminded = f.lastReminded;
    s.done = f.done;
    return dw::ical::FillAppointment(a, s);
}

} // namespace dw::sync
