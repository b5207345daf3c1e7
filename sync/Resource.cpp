#include "sync/Resource.h"

#include "ical/IcalEvents.h"
#include "ical/IcalNames.h"
#include "ical/IcalTimes.h"
#include "ical/IcalWriter.h"
#include "sync/SyncState.h"

#include <QDateTime>
#include <QTimeZone>

#include <libical/ical.h>

#include <memory>

namespace dw::sync {

namespace {

using Component = dw::ical::ComponentPtr;

Component Parse(const QByteArray& data)
{
    icalerror_set_errors_are_fatal(0);
    Component c(icalparser_parse_string(data.constData()));
    if (c && icalcomponent_isa(c.get()) != ICAL_VCALENDAR_COMPONENT)
        c.reset();
    return c;
}

QByteArray Text(icalcomponent* c)
{
    char* text = icalcomponent_as_ical_string_r(c);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

std::vector<icalcomponent*> Events(icalcomponent* calendar)
{
    std::vector<icalcomponent*> events;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        events.push_back(e);
    return events;
}

icalproperty* RecurrenceIdOf(icalcomponent* event)
{
    return icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
}

QString TzidOf(icalproperty* p)
{
    icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
    return tzid ? QString::fromUtf8(icalparameter_get_tzid(tzid)) : QString();
}

icaltimezone* ZoneOf(const QString& tzid, icalcomponent* calendar)
{
    if (tzid.isEmpty())
        return nullptr;
    if (icaltimezone* own = icalcomponent_get_timezone(calendar, tzid.toUtf8().constData()))
        return own;
    return icaltimezone_get_builtin_timezone(tzid.toUtf8().constData());
}

QString Key(const QDateTime& local)
{
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

// A moment of the object (RECURRENCE-ID, EXDATE) in local time, as the import
// converts its occurrences.
QString LocalKey(icaltimetype t, icalproperty* p, icalcomponent* calendar)
{
    const QDate date(t.year, t.month, t.day);
    if (t.is_date)
        return Key(QDateTime(date, QTime(0, 0)));
    const QTime time(t.hour, t.minute, std::min(t.second, 59));
    if (icaltime_is_utc(t))
        return Key(QDateTime(date, time, Qt::UTC).toLocalTime());
    const QString tzid = TzidOf(p);
    if (icaltimezone* zone = ZoneOf(tzid, calendar)) {
        t.zone = zone;
        const icaltimetype u = icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
        return Key(
            QDateTime(QDate(u.year, u.month, u.day), QTime(u.hour, u.minute, std::min(u.second, 59)), Qt::UTC)
                .toLocalTime());
    }
    if (!tzid.isEmpty() && QTimeZone(tzid.toUtf8()).isValid())
        return Key(QDateTime(date, time, QTimeZone(tzid.toUtf8())).toLocalTime());
    return Key(QDateTime(date, time));
}

// The local moment `key` written the way the series' start is written (a date,
// UTC, in the start's zone, or floating), for RECURRENCE-ID and EXDATE.
icalproperty* SeriesMoment(icalproperty_kind kind, const QString& key, icalcomponent* master,
                           icalcomponent* calendar)
{
    const QDateTime local = QDateTime::fromString(key, Qt::ISODate);
    icalproperty* start = master ? icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY) : nullptr;
    const icaltimetype form = start ? icalproperty_get_dtstart(start) : icaltime_null_time();
    const QString tzid = start ? TzidOf(start) : QString();
    icaltimetype t = icaltime_null_time();
    const auto fill = [&t](const QDateTime& at) { t = dw::ical::IcalTimeOf(at); };
    bool withZone = false;
    if (form.is_date) {
        fill(local);
        t.is_date = 1;
        t.hour = t.minute = t.second = 0;
    } else if (icaltime_is_utc(form)) {
        fill(local.toUTC());
        t.zone = icaltimezone_get_utc_timezone();
    } else if (icaltimezone* zone = ZoneOf(tzid, calendar)) {
        fill(local.toUTC());
        t.zone = icaltimezone_get_utc_timezone();
        t = icaltime_convert_to_zone(t, zone);
        t.zone = nullptr;
        withZone = true;
    } else {
        fill(local);
    }
    icalproperty* p =
        kind == ICAL_RECURRENCEID_PROPERTY ? icalproperty_new_recurrenceid(t) : icalproperty_new_exdate(t);
    if (withZone)
        icalproperty_add_parameter(p, icalparameter_new_tzid(tzid.toUtf8().constData()));
    return p;
}

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
        out.error = QStringLiteral("Zeile %1: %2").arg(read.error.line).arg(read.error.text);
        return false;
    }
    for (const dw::ical::ImportedAppointment& a : read.calendar->appointments) {
        ServerItem item;
        item.day = a.date;
        item.fields = dw::ical::StoreFieldsOf(a);
        item.hash = UserHash(item.day, item.fields);
        item.rid = ridFromOccurrence ? Key(QDateTime(a.date, QTime(a.hour, a.minute, a.second))) : rid;
        out.items.push_back(std::move(item));
    }
    return true;
}

void Remove(icalcomponent* c, icalproperty_kind kind)
{
    while (icalproperty* p = icalcomponent_get_first_property(c, kind)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
}

bool IsOwn(icalproperty* p)
{
    const char* name = icalproperty_get_x_name(p);
    return name && (qstricmp(name, dw::ical::LastRemindedProperty) == 0 ||
                    qstricmp(name, dw::ical::DoneProperty) == 0);
}

// The event takes the fields of ours and keeps its other properties (location,
// attendees, its length ...).
void TakeFields(icalcomponent* target, icalcomponent* ours)
{
    const icaldurationtype length = icalcomponent_get_duration(target);
    icalproperty* oldStart = icalcomponent_get_first_property(target, ICAL_DTSTART_PROPERTY);
    const bool allDay = oldStart && icalproperty_get_dtstart(oldStart).is_date;
    for (icalproperty_kind kind : {ICAL_SUMMARY_PROPERTY, ICAL_DESCRIPTION_PROPERTY, ICAL_DTSTART_PROPERTY,
                                   ICAL_DTEND_PROPERTY, ICAL_DURATION_PROPERTY, ICAL_DTSTAMP_PROPERTY})
        Remove(target, kind);
    for (icalproperty* p = icalcomponent_get_first_property(target, ICAL_X_PROPERTY); p;) {
        icalproperty* next = icalcomponent_get_next_property(target, ICAL_X_PROPERTY);
        if (IsOwn(p)) {
            icalcomponent_remove_property(target, p);
            icalproperty_free(p);
        }
        p = next;
    }
    while (icalcomponent* alarm = icalcomponent_get_first_component(target, ICAL_VALARM_COMPONENT)) {
        icalcomponent_remove_component(target, alarm);
        icalcomponent_free(alarm);
    }
    for (icalproperty* p = icalcomponent_get_first_property(ours, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(ours, ICAL_ANY_PROPERTY)) {
        if (icalproperty_isa(p) == ICAL_UID_PROPERTY)
            continue;
        icalproperty* copy = icalproperty_new_clone(p);
        if (icalproperty_isa(p) == ICAL_DTSTART_PROPERTY && allDay) {
            // An all-day event stays one while the appointment stays at midnight.
            icaltimetype t = icalproperty_get_dtstart(p);
            if (t.hour == 0 && t.minute == 0 && t.second == 0) {
                t.is_date = 1;
                icalproperty_set_dtstart(copy, t);
            }
        }
        icalcomponent_add_property(target, copy);
    }
    for (icalcomponent* a = icalcomponent_get_first_component(ours, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(ours, ICAL_VALARM_COMPONENT))
        icalcomponent_add_component(target, icalcomponent_new_clone(a));
    if (!icaldurationtype_is_bad_duration(length) && icaldurationtype_as_int(length) > 0)
        icalcomponent_add_property(target, icalproperty_new_duration(length));
    if (icalproperty* sequence = icalcomponent_get_first_property(target, ICAL_SEQUENCE_PROPERTY))
        icalproperty_set_sequence(sequence, icalproperty_get_sequence(sequence) + 1);
}

} // namespace

ReadItems ReadResource(const QByteArray& data)
{
    ReadItems out;
    const Component calendar = Parse(data);
    if (!calendar) {
        out.error = QStringLiteral("kein iCalendar-Objekt");
        return out;
    }
    icalcomponent* master = nullptr;
    std::vector<icalcomponent*> exceptions;
    for (icalcomponent* e : Events(calendar.get())) {
        if (RecurrenceIdOf(e))
            exceptions.push_back(e);
        else if (!master)
            master = e;
    }
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
        const QString key = LocalKey(icalproperty_get_recurrenceid(rid), rid, calendar.get());
        Component single = WithOnly(calendar.get(), e);
        icalcomponent* copy = icalcomponent_get_first_component(single.get(), ICAL_VEVENT_COMPONENT);
        Remove(copy, ICAL_RECURRENCEID_PROPERTY);
        if (!Read(Text(single.get()), key, out, false))
            return out;
    }
    out.ok = true;
    return out;
}

QByteArray PatchResource(const QByteArray& data, const std::vector<LocalChange>& changes, dw::TDateTime now,
                         QString& error)
{
    const Component calendar = Parse(data);
    if (!calendar) {
        error = QStringLiteral("kein iCalendar-Objekt");
        return {};
    }
    icalcomponent* master = nullptr;
    for (icalcomponent* e : Events(calendar.get()))
        if (!RecurrenceIdOf(e) && !master)
            master = e;
    const QByteArray uid = master ? QByteArray(icalcomponent_get_uid(master)) : QByteArray();
    for (const LocalChange& change : changes) {
        icalcomponent* target = nullptr;
        if (change.rid.isEmpty()) {
            target = master;
        } else {
            for (icalcomponent* e : Events(calendar.get())) {
                icalproperty* rid = RecurrenceIdOf(e);
                if (rid && LocalKey(icalproperty_get_recurrenceid(rid), rid, calendar.get()) == change.rid)
                    target = e;
            }
        }
        if (!change.appointment) {
            if (target && target != master) {
                icalcomponent_remove_component(calendar.get(), target);
                icalcomponent_free(target);
            }
            if (master && !change.rid.isEmpty())
                icalcomponent_add_property(
                    master, SeriesMoment(ICAL_EXDATE_PROPERTY, change.rid, master, calendar.get()));
            continue;
        }
        const Component ours = Parse(dw::ical::WriteEvent(*change.appointment, change.day, uid, now));
        icalcomponent* event =
            ours ? icalcomponent_get_first_component(ours.get(), ICAL_VEVENT_COMPONENT) : nullptr;
        if (!event) {
            error = QStringLiteral("Termin nicht darstellbar");
            return {};
        }
        if (target) {
            TakeFields(target, event);
        } else if (!change.rid.isEmpty()) {
            icalcomponent* exception = icalcomponent_new_clone(event);
            icalcomponent_add_property(
                exception, SeriesMoment(ICAL_RECURRENCEID_PROPERTY, change.rid, master, calendar.get()));
            icalcomponent_add_component(calendar.get(), exception);
        }
    }
    return Text(calendar.get());
}

} // namespace dw::sync
