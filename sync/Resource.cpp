#include "sync/Resource.h"

#include "ical/IcalEvents.h"
#include "sync/EventParts.h"

#include <QCoreApplication>

namespace dw::sync {

namespace {

using namespace parts;

// The calendar with its time zones and only the given event.
Component WithOnly(icalcomponent* calendar, icalcomponent* keep)
{
    Component copy(icalcomponent_new_clone(calendar));
    for (icalcomponent* e : Events(copy.get())) {
        icalcomponent_remove_component(copy.get(), e);
        icalcomponent_free(e);
    }
    icalcomponent_add_component(copy.get(), icalcomponent_new_clone(keep));
    return copy;
}

bool Read(const QByteArray& text, const QString& rid, ReadItems& out, bool ridFromOccurrence)
{
    const dw::ical::ReadResult read = dw::ical::ReadCalendar(text);
    if (!read.calendar) {
        out.error =
            QCoreApplication::translate("Resource", "Zeile %1: %2").arg(read.error.line).arg(read.error.text);
        return false;
    }
    for (const dw::ical::ImportedAppointment& a : read.calendar->appointments) {
        ServerItem item;
        item.day = a.date;
        item.fields = dw::ical::StoreFieldsOf(a);
        item.rid = ridFromOccurrence ? Key(QDateTime(a.date, QTime(a.hour, a.minute, a.second))) : rid;
        out.items.push_back(std::move(item));
    }
    return true;
}

} // namespace

ReadItems ReadResource(const QByteArray& data)
{
    ReadItems out;
    const Component calendar = Parse(data);
    if (!calendar) {
        out.error = QCoreApplication::translate("Resource", "kein iCalendar-Objekt");
        return out;
    }
    icalcomponent* master = MasterOf(calendar.get());
    std::vector<icalcomponent*> exceptions;
    for (icalcomponent* e : Events(calendar.get()))
        if (RecurrenceIdOf(e))
            exceptions.push_back(e);
    if (master || !exceptions.empty())
        out.uid = icalcomponent_get_uid(master ? master : exceptions.front());
    const bool recurring = master && (icalcomponent_get_first_property(master, ICAL_RRULE_PROPERTY) ||
                                      icalcomponent_get_first_property(master, ICAL_RDATE_PROPERTY));
    if (exceptions.empty() && !recurring) {
        out.ok = Read(data, QString(), out, false);
        return out;
    }
    if (master) {
        // The series without the occurrences its exceptions replace.
        Component series = WithOnly(calendar.get(), master);
        icalcomponent* copy = icalcomponent_get_first_component(series.get(), ICAL_VEVENT_COMPONENT);
        for (icalcomponent* e : exceptions) {
            icalproperty* rid = RecurrenceIdOf(e);
            icalproperty* ex = icalproperty_new_exdate(icalproperty_get_recurrenceid(rid));
            if (icalparameter* tzid = icalproperty_get_first_parameter(rid, ICAL_TZID_PARAMETER))
                icalproperty_add_parameter(ex, icalparameter_new_clone(tzid));
            icalcomponent_add_property(copy, ex);
        }
        if (!Read(Text(series.get()), QString(), out, true))
            return out;
    }
    for (icalcomponent* e : exceptions) {
        icalproperty* rid = RecurrenceIdOf(e);
        const QString key = Key(LocalMoment(icalproperty_get_recurrenceid(rid), rid, calendar.get()));
        Component single = WithOnly(calendar.get(), e);
        icalcomponent* copy = icalcomponent_get_first_component(single.get(), ICAL_VEVENT_COMPONENT);
        Remove(copy, ICAL_RECURRENCEID_PROPERTY);
        if (!Read(Text(single.get()), key, out, false))
            return out;
    }
    out.ok = true;
    return out;
}

} // namespace dw::sync
