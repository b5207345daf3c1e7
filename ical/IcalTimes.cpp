#include "ical/IcalTimes.h"

#include "ical/IcalMessages.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>

namespace dw::ical {

icaltimetype IcalTimeOf(const QDateTime& at)
{
    icaltimetype t = icaltime_null_time();
    t.year = at.date().year();
    t.month = at.date().month();
    t.day = at.date().day();
    t.hour = at.time().hour();
    t.minute = at.time().minute();
    t.second = at.time().second();
    return t;
}

int EventLines::of(const char* name) const
{
    for (const auto& [key, line] : properties)
        if (key == name)
            return line;
    return begin;
}

bool EventLines::has(const char* name) const
{
    return std::any_of(properties.begin(), properties.end(), [&](const auto& p) { return p.first == name; });
}

void EventLines::note(const QByteArray& name, int line)
{
    for (const auto& p : properties)
        if (p.first == name)
            return;
    properties.emplace_back(name, line);
}

bool Valid(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || !QDate(t.year, t.month, t.day).isValid())
        return false;
    return t.is_date ||
           (t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second <= 60);
}

bool IsZoneName(QByteArrayView id)
{
    // Only names of the form Area/City reach the system's zone files: a TZID
    // such as ../../dev/stdin must not make the reader open files of its choosing.
    if (id.isEmpty() || id.size() > 64 || id.startsWith('/') || id.endsWith('/'))
        return false;
    for (char c : id)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
              c == '_' || c == '-' || c == '+'))
            return false;
    return !id.contains("//");
}

const icaltimezone* ZoneOf(icalproperty* property, icalcomponent* zones)
{
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!tzid)
        return nullptr;
    const char* id = icalparameter_get_tzid(tzid);
    if (icaltimezone* own = icalcomponent_get_timezone(zones, id))
        return own;
    return IsZoneName(id) ? icaltimezone_get_builtin_timezone(id) : nullptr;
}

QString TzidOf(icalproperty* property)
{
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    return tzid ? QString::fromUtf8(icalparameter_get_tzid(tzid)) : QString();
}

Moment ToLocal(icaltimetype t, const icaltimezone* zone, const QString& tzid)
{
    const QDate date(t.year, t.month, t.day);
    if (t.is_date)
        return {date, QTime(0, 0)};
    const QTime time(t.hour, t.minute, std::min(t.second, 59));
    QDateTime at;
    if (icaltime_is_utc(t)) {
        at = QDateTime(date, time, Qt::UTC);
    } else if (zone) {
        t.zone = zone;
        const icaltimetype utc = icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
        at = QDateTime(QDate(utc.year, utc.month, utc.day),
                       QTime(utc.hour, utc.minute, std::min(utc.second, 59)), Qt::UTC);
    } else if (IsZoneName(tzid.toUtf8()) && QTimeZone(tzid.toUtf8()).isValid()) {
        at = QDateTime(date, time, QTimeZone(tzid.toUtf8()));
    } else {
        return {date, time};
    }
    const QDateTime local = at.toLocalTime();
    return {local.date(), local.time()};
}

} // namespace dw::ical
