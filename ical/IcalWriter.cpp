#include "ical/IcalWriter.h"

#include "ical/IcalNames.h"
#include "ical/IcalTimes.h"

#include "platform/Ansi.h"
#include "series/SeriesWriter.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>

#include <libical/ical.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace dw::ical {

namespace {

QByteArray Text(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

// The same appointment gets the same UID in every export: its day, time and
// name, numbered when a day holds that pair twice.
QByteArray UidOf(int year, int month, int day, long long second, const QByteArray& name,
                 QHash<QByteArray, int>& seen)
{
    const QByteArray key =
        QByteArray::number(year * 10000 + month * 100 + day) + '|' + QByteArray::number(second) + '|' + name;
    const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(24);
    const int n = ++seen[digest];
    return digest + (n > 1 ? '-' + QByteArray::number(n) : QByteArray()) + "@datumswecker";
}

icaltimetype StampOf(dw::TDateTime now)
{
    icaltimetype dtstamp = IcalTimeOf(dw::ToQDateTime(now).toUTC());
    dtstamp.zone = icaltimezone_get_utc_timezone();
    return dtstamp;
}

icalcomponent* EventOf(const Appointment& a, int y, int m, int d, const QByteArray& uid,
                       const icaltimetype& dtstamp)
{
    const QByteArray name = dw::FromAnsi(a.Name).toUtf8();
    QString description = dw::FromAnsi(a.Description);
    description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const long long second = SecondsOfDays(a.TimeOfDay);
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(uid.constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(dtstamp));
    // Floating local time: the appointment is at this time of day wherever the user is.
    icaltimetype start = icaltime_null_time();
    start.year = y;
    start.month = m;
    start.day = d;
    const long long inDay = ((second % 86400) + 86400) % 86400;
    start.hour = static_cast<int>(inDay / 3600);
    start.minute = static_cast<int>(inDay / 60 % 60);
    start.second = static_cast<int>(inDay % 60);
    icalcomponent_add_property(event, icalproperty_new_dtstart(start));
    icalcomponent_add_property(event, icalproperty_new_summary(name.constData()));
    if (!description.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_description(description.toUtf8().constData()));
    // A value no clock can have made (from a damaged file) is left out rather than written unreadable.
    if (a.LastReminded != 0.0 && std::isfinite(a.LastReminded) && std::fabs(a.LastReminded) < 1e7) {
        icalproperty* last = icalproperty_new_x(FormatLastReminded(a.LastReminded).toUtf8().constData());
        icalproperty_set_x_name(last, LastRemindedProperty);
        icalcomponent_add_property(event, last);
    }
    if (a.Done != 0) {
        icalproperty* done = icalproperty_new_x(QByteArray::number(a.Done).constData());
        icalproperty_set_x_name(done, DoneProperty);
        icalcomponent_add_property(event, done);
    }
    icalcomponent_add_component(event,
                                dw::series::NewAlarm(a.FirstLead, a.RepeatInterval, name.toStdString()));
    return event;
}

ComponentPtr NewCalendar()
{
    icalerror_set_errors_are_fatal(0);
    ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Norvex//Datumswecker 1.0//DE"));
    return calendar;
}

} // namespace

QByteArray WriteCalendar(const CalendarGrid& grid, dw::TDateTime now)
{
    const auto calendar = NewCalendar();
    const icaltimetype dtstamp = StampOf(now);

    // The calendar's frame, then each event written and freed in turn: a
    // hundred thousand events never stand in memory as one tree.
    QByteArray result = Text(calendar.get());
    const QByteArray end = "END:VCALENDAR\r\n";
    if (!result.endsWith(end))
        return {};
    result.chop(end.size());
    QHash<QByteArray, int> seen;
    grid.ForEachDay([&](int y, int m, int d, const DayList& day) {
        const std::uint32_t count = day.count();
        for (std::uint32_t i = 0; i < count; ++i) {
            const Appointment& a = *day.at(static_cast<std::int32_t>(i));
            const QByteArray uid =
                UidOf(y, m, d, SecondsOfDays(a.TimeOfDay), dw::FromAnsi(a.Name).toUtf8(), seen);
            ComponentPtr event(EventOf(a, y, m, d, uid, dtstamp));
            result += Text(event.get());
        }
    });
    result += end;
    return result;
}

QByteArray WriteEvent(const Appointment& appointment, QDate day, const QByteArray& uid, dw::TDateTime now)
{
    const auto calendar = NewCalendar();
    icalcomponent_add_component(calendar.get(),
                                EventOf(appointment, day.year(), day.month(), day.day(), uid, StampOf(now)));
    return Text(calendar.get());
}

QByteArray WriteCalendar(const CalendarGrid& grid, const dw::series::SeriesSet& series, dw::TDateTime now)
{
    QByteArray calendar = WriteCalendar(grid, now);
    if (series.size() == 0)
        return calendar;
    std::string events = dw::series::WriteZones(series);
    for (const dw::series::Series& s : series.list())
        events += dw::series::WriteSeriesEvents(s);
    calendar.insert(calendar.lastIndexOf("END:VCALENDAR"), QByteArray::fromStdString(events));
    return calendar;
}

} // namespace dw::ical
