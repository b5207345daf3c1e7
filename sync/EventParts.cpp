#include "sync/EventParts.h"

#include <QTimeZone>

namespace dw::sync::parts {

namespace {

QString TzidOf(icalproperty* p)
{
    icalparameter* tzid = p ? icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) : nullptr;
    return tzid ? QString::fromUtf8(icalparameter_get_tzid(tzid)) : QString();
}

icalproperty* NewMoment(icalproperty_kind kind, const icaltimetype& t)
{
    switch (kind) {
    case ICAL_DTSTART_PROPERTY:
        return icalproperty_new_dtstart(t);
    case ICAL_DTEND_PROPERTY:
        return icalproperty_new_dtend(t);
    case ICAL_RECURRENCEID_PROPERTY:
        return icalproperty_new_recurrenceid(t);
    default:
        return icalproperty_new_exdate(t);
    }
}

} // namespace

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

icalcomponent* MasterOf(icalcomponent* calendar)
{
    for (icalcomponent* e : Events(calendar))
        if (!RecurrenceIdOf(e))
            return e;
    return nullptr;
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

QDateTime LocalMoment(icaltimetype t, icalproperty* p, icalcomponent* calendar)
{
    const QDate date(t.year, t.month, t.day);
    if (t.is_date)
        return QDateTime(date, QTime(0, 0));
    const QTime time(t.hour, t.minute, std::min(t.second, 59));
    if (icaltime_is_utc(t))
        return QDateTime(date, time, Qt::UTC).toLocalTime();
    const QString tzid = TzidOf(p);
    if (icaltimezone* zone = ZoneOf(tzid, calendar)) {
        t.zone = zone;
        const icaltimetype u = icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
        return QDateTime(QDate(u.year, u.month, u.day), QTime(u.hour, u.minute, std::min(u.second, 59)),
                         Qt::UTC)
            .toLocalTime();
    }
    if (!tzid.isEmpty() && QTimeZone(tzid.toUtf8()).isValid())
        return QDateTime(date, time, QTimeZone(tzid.toUtf8())).toLocalTime();
    return QDateTime(date, time);
}

icalproperty* MomentLike(icalproperty_kind kind, const QDateTime& local, icalproperty* form,
                         icalcomponent* calendar)
{
    const icalvalue* value = form ? icalproperty_get_value(form) : nullptr;
    const icaltimetype was = value ? icalvalue_get_datetimedate(value) : icaltime_null_time();
    const QString tzid = TzidOf(form);
    icaltimetype t = icaltime_null_time();
    bool withZone = false;
    if (was.is_date && local.time() == QTime(0, 0)) {
        t = dw::ical::IcalTimeOf(local);
        t.is_date = 1;
        t.hour = t.minute = t.second = 0;
    } else if (icaltime_is_utc(was)) {
        t = dw::ical::IcalTimeOf(local.toUTC());
        t.zone = icaltimezone_get_utc_timezone();
    } else if (icaltimezone* zone = was.is_date ? nullptr : ZoneOf(tzid, calendar)) {
        t = dw::ical::IcalTimeOf(local.toUTC());
        t.zone = icaltimezone_get_utc_timezone();
        t = icaltime_convert_to_zone(t, zone);
        t.zone = nullptr;
        withZone = true;
    } else {
        t = dw::ical::IcalTimeOf(local);
    }
    icalproperty* p = NewMoment(kind, t);
    if (withZone)
        icalproperty_add_parameter(p, icalparameter_new_tzid(tzid.toUtf8().constData()));
    return p;
}

void Remove(icalcomponent* c, icalproperty_kind kind)
{
    while (icalproperty* p = icalcomponent_get_first_property(c, kind)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
}

} // namespace dw::sync::parts
