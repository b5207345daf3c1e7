#include "sync/Resource.h"

#include "ical/IcalEvents.h"
#include "ical/IcalLines.h"
#include "sync/EventParts.h"

#include <QCoreApplication>

namespace dw::sync {

namespace {

using namespace parts;

// The calendar with its time zones and only the given event. Built up, not
// cut down from a copy of the whole: an object of many exceptions costs each
// one only its own size and the zones'.
Component WithOnly(icalcomponent* calendar, icalcomponent* keep)
{
    Component copy(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(calendar, ICAL_ANY_PROPERTY))
        icalcomponent_add_property(copy.get(), icalproperty_new_clone(p));
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT))
        if (icalcomponent_isa(c) != ICAL_VEVENT_COMPONENT)
            icalcomponent_add_component(copy.get(), icalcomponent_new_clone(c));
    icalcomponent_add_component(copy.get(), icalcomponent_new_clone(keep));
    return copy;
}

// libical's own line splitter is slow on a long line: no line past the bound reaches it.
void CheckLines(const QByteArray& data, const dw::ical::Budget& budget)
{
    dw::ical::LineReader lines(data, budget.bounds().lineBytes);
    dw::ical::ContentLine line;
    dw::ical::ReadError error;
    for (dw::ical::LineReader::Result r = lines.next(line, error); r != dw::ical::LineReader::End;
         r = lines.next(line, error))
        if (r == dw::ical::LineReader::Bad && error.boundReached)
            throw dw::ical::BoundReached{
                QCoreApplication::translate("Budget", "Grenze erreicht: %1").arg(error.text)};
}

bool Read(const QByteArray& text, const QString& rid, ReadItems& out, bool ridFromOccurrence,
          dw::ical::Budget& budget)
{
    const dw::ical::ReadResult read = dw::ical::ReadCalendar(text, budget);
    if (read.error.boundReached)
        throw dw::ical::BoundReached{read.error.text};
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

ReadItems ReadResource(const QByteArray& data, dw::ical::Budget& budget)
{
    ReadItems out;
    CheckLines(data, budget);
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
    budget.checkExceptions(static_cast<int>(exceptions.size()));
    if (master || !exceptions.empty())
        out.uid = icalcomponent_get_uid(master ? master : exceptions.front());
    const bool recurring = master && (icalcomponent_get_first_property(master, ICAL_RRULE_PROPERTY) ||
                                      icalcomponent_get_first_property(master, ICAL_RDATE_PROPERTY));
    if (exceptions.empty() && !recurring) {
        out.ok = Read(data, QString(), out, false, budget);
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
        if (!Read(Text(series.get()), QString(), out, true, budget))
            return out;
    }
    for (icalcomponent* e : exceptions) {
        icalproperty* rid = RecurrenceIdOf(e);
        const QString key = Key(LocalMoment(icalproperty_get_recurrenceid(rid), rid, calendar.get()));
        Component single = WithOnly(calendar.get(), e);
        icalcomponent* copy = icalcomponent_get_first_component(single.get(), ICAL_VEVENT_COMPONENT);
        Remove(copy, ICAL_RECURRENCEID_PROPERTY);
        if (!Read(Text(single.get()), key, out, false, budget))
            return out;
    }
    out.ok = true;
    return out;
}

ReadItems ReadResource(const QByteArray& data)
{
    dw::ical::Budget budget;
    try {
        return ReadResource(data, budget);
    } catch (const dw::ical::BoundReached& reached) {
        ReadItems out;
        out.error = reached.text;
        return out;
    }
}

} // namespace dw::sync
