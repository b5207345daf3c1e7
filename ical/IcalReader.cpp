#include "ical/IcalEvents.h"
#include "ical/IcalLines.h"
#include "ical/IcalNames.h"

#include "platform/DateTime.h"
#include "store/Appointment.h"
#include "store/CalendarGrid.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <libical/ical.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

namespace dw::ical {

namespace {

// Steps a recurrence rule may take before its occurrences in range are given
// up on: a secondly rule from 1900 would otherwise run for hours.
constexpr int MaxRuleSteps = 500000;

struct ComponentDeleter
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

struct RecurDeleter
{
    void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};

class Failure
{
public:
    Failure(int line, QString text) : line(line), text(std::move(text)) {}
    int line;
    QString text;
};

struct Moment
{
    QDate date;
    QTime time;
    friend bool operator<(const Moment& a, const Moment& b)
    {
        return a.date != b.date ? a.date < b.date : a.time < b.time;
    }
    friend bool operator==(const Moment&, const Moment&) = default;
};

// The zone a property's TZID names: the calendar's own VTIMEZONE first, then
// the system's zone of that name; none means floating (local) time.
const icaltimezone* ZoneOf(icalproperty* property, icalcomponent* calendar)
{
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!tzid)
        return nullptr;
    const char* id = icalparameter_get_tzid(tzid);
    if (icaltimezone* own = icalcomponent_get_timezone(calendar, id))
        return own;
    return icaltimezone_get_builtin_timezone(id);
}

bool Valid(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || !QDate(t.year, t.month, t.day).isValid())
        return false;
    return t.is_date ||
           (t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second <= 60);
}

// The moment in the local time of this machine.
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
    } else if (!tzid.isEmpty() && QTimeZone(tzid.toUtf8()).isValid()) {
        at = QDateTime(date, time, QTimeZone(tzid.toUtf8()));
    } else {
        return {date, time};
    }
    const QDateTime local = at.toLocalTime();
    return {local.date(), local.time()};
}

QString TzidOf(icalproperty* property)
{
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    return tzid ? QString::fromUtf8(icalparameter_get_tzid(tzid)) : QString();
}

int LineOf(const EventLines& lines, const char* name)
{
    return lines.properties.value(QString::fromLatin1(name), lines.begin);
}

// The event's reminder: of several alarms the one that comes first (the
// program has one lead per appointment), its repeat interval from DURATION.
void ReadAlarms(icalcomponent* event, const Moment& begins, icalcomponent* calendar, const EventLines& lines,
                ImportedAppointment& item)
{
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            throw Failure(
                lines.properties.value(QStringLiteral("VALARM/TRIGGER"), LineOf(lines, "VALARM/ACTION")),
                QStringLiteral("Erinnerung ohne gültigen TRIGGER."));
        const icaltriggertype value = icalproperty_get_trigger(trigger);
        long long leadSeconds = 0;
        if (!icaltime_is_null_time(value.time)) {
            // An absolute moment: the lead is how long before the start it lies.
            const Moment at = ToLocal(value.time, ZoneOf(trigger, calendar), TzidOf(trigger));
            leadSeconds = QDateTime(at.date, at.time).secsTo(QDateTime(begins.date, begins.time));
        } else {
            if (icaldurationtype_is_bad_duration(value.duration))
                throw Failure(LineOf(lines, "VALARM/TRIGGER"),
                              QStringLiteral("TRIGGER ist keine gültige Dauer."));
            leadSeconds = -static_cast<long long>(icaldurationtype_as_int(value.duration));
            icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(related) == ICAL_RELATED_END) {
                const icaldurationtype length = icalcomponent_get_duration(event);
                if (!icaldurationtype_is_bad_duration(length))
                    leadSeconds -= icaldurationtype_as_int(length);
            }
        }
        const double lead = DaysFromSeconds(leadSeconds);
        if (item.firstLead && *item.firstLead >= lead)
            continue;
        item.firstLead = lead;
        item.repeatInterval.reset();
        if (icalproperty* duration = icalcomponent_get_first_property(alarm, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype every = icalproperty_get_duration(duration);
            if (icaldurationtype_is_bad_duration(every))
                throw Failure(LineOf(lines, "VALARM/DURATION"),
                              QStringLiteral("DURATION ist keine gültige Dauer."));
            item.repeatInterval = DaysFromSeconds(icaldurationtype_as_int(every));
        }
    }
}

void ReadOwnProperties(icalcomponent* event, const EventLines& lines, ImportedAppointment& item)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        const QString name = QString::fromUtf8(icalproperty_get_x_name(p)).toUpper();
        const QString value = QString::fromUtf8(icalproperty_get_value_as_string(p)).trimmed();
        const int line = lines.properties.value(name, lines.begin);
        if (name == QLatin1String(LastRemindedProperty)) {
            const std::optional<double> moment = ParseLastReminded(value);
            if (!moment)
                throw Failure(line, QStringLiteral("%1 ist kein gültiger Zeitpunkt.").arg(name));
            item.lastReminded = *moment;
        } else if (name == QLatin1String(DoneProperty)) {
            bool ok = false;
            const uint done = value.toUInt(&ok);
            if (!ok || done > 255)
                throw Failure(line, QStringLiteral("%1 muss eine Zahl von 0 bis 255 sein.").arg(name));
            item.done = static_cast<std::uint8_t>(done);
        }
    }
}

std::vector<Moment> Occurrences(icalcomponent* event, icaltimetype start, const icaltimezone* zone,
                                const QString& tzid, icalcomponent* calendar, const EventLines& lines,
                                ImportedCalendar& out)
{
    std::set<Moment> found;
    const QDate first(CalendarGrid::FirstYear, 1, 1);
    const QDate last(CalendarGrid::LastYear, 12, 31);
    const Moment begins = ToLocal(start, zone, tzid);
    found.insert(begins);
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE)
            throw Failure(LineOf(lines, "RRULE"),
                          QStringLiteral("RRULE ist keine gültige Wiederholungsregel."));
        const bool finite = rule.count > 0 || !icaltime_is_null_time(rule.until);
        std::unique_ptr<icalrecur_iterator, RecurDeleter> it(icalrecur_iterator_new(rule, start));
        if (!it)
            throw Failure(LineOf(lines, "RRULE"), QStringLiteral("RRULE kann nicht ausgewertet werden."));
        // An open-ended rule is followed to the end of 2100 only; its later
        // occurrences are not counted as outside: there is no end to them.
        for (int step = 0; step < MaxRuleSteps; ++step) {
            icaltimetype next = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(next))
                break;
            const Moment m = ToLocal(next, zone, tzid);
            if (m.date > last && !finite)
                break;
            found.insert(m);
        }
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        const icaltimetype at = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
        if (!Valid(at))
            throw Failure(LineOf(lines, "RDATE"), QStringLiteral("RDATE ist kein gültiges Datum."));
        found.insert(ToLocal(at, ZoneOf(p, calendar), TzidOf(p)));
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype at = icalproperty_get_exdate(p);
        if (!Valid(at))
            throw Failure(LineOf(lines, "EXDATE"), QStringLiteral("EXDATE ist kein gültiges Datum."));
        const Moment gone = ToLocal(at, ZoneOf(p, calendar), TzidOf(p));
        if (at.is_date)
            std::erase_if(found, [&](const Moment& m) { return m.date == gone.date; });
        else
            found.erase(gone);
    }
    std::vector<Moment> result;
    for (const Moment& m : found) {
        if (m.date < first || m.date > last) {
            ++out.outsideRange;
            continue;
        }
        if (static_cast<int>(result.size()) == MaxOccurrences) {
            ++out.cutOff;
            continue;
        }
        result.push_back(m);
    }
    return result;
}

void ReadEvent(icalcomponent* event, icalcomponent* calendar, const EventLines& lines, ImportedCalendar& out)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY)) {
        const QString message = QString::fromUtf8(icalproperty_get_xlicerror(p)).trimmed();
        // An empty text is valid iCalendar; the parser only drops it.
        if (message.startsWith(QLatin1String("No value for SUMMARY")) ||
            message.startsWith(QLatin1String("No value for DESCRIPTION")))
            continue;
        // The parser names the property it dropped; its line is known from the scan.
        static const QRegularExpression named(QStringLiteral("(?:in|for) ([A-Z][A-Z0-9-]*) property"));
        const QRegularExpressionMatch match = named.match(message);
        const int line =
            match.hasMatch() ? lines.properties.value(match.captured(1), lines.begin) : lines.begin;
        throw Failure(line, QStringLiteral("Fehlerhafter Termin (%1).").arg(message));
    }
    icalproperty* dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!dtstart)
        throw Failure(lines.begin, QStringLiteral("Termin ohne DTSTART."));
    const icaltimetype start = icalproperty_get_dtstart(dtstart);
    if (!Valid(start))
        throw Failure(LineOf(lines, "DTSTART"), QStringLiteral("DTSTART ist kein gültiges Datum."));
    const QString tzid = TzidOf(dtstart);
    const icaltimezone* zone = ZoneOf(dtstart, calendar);

    ImportedAppointment item;
    const char* summary = icalcomponent_get_summary(event);
    const bool summaryGiven = summary || lines.properties.contains(QStringLiteral("SUMMARY"));
    item.name = summaryGiven ? QString::fromUtf8(summary ? summary : "") : QString::fromLatin1(DefaultName);
    if (const char* description = icalcomponent_get_description(event))
        item.description = QString::fromUtf8(description);
    ReadAlarms(event, ToLocal(start, zone, tzid), calendar, lines, item);
    ReadOwnProperties(event, lines, item);
    for (const Moment& m : Occurrences(event, start, zone, tzid, calendar, lines, out)) {
        item.date = m.date;
        item.hour = m.time.hour();
        item.minute = m.time.minute();
        item.second = m.time.second();
        out.appointments.push_back(item);
    }
}

} // namespace

ReadResult ReadCalendar(const QByteArray& bytes)
{
    ReadResult result;
    ScannedFile scanned;
    if (!ScanLines(bytes, scanned, result.error))
        return result;
    icalerror_set_errors_are_fatal(0);
    ComponentPtr calendar(icalparser_parse_string(scanned.unfolded.constData()));
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT) {
        result.error = {1, QStringLiteral("Das ist keine iCalendar-Datei: BEGIN:VCALENDAR fehlt.")};
        return result;
    }
    ImportedCalendar out;
    try {
        std::size_t index = 0;
        for (icalcomponent* event = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
             event;
             event = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT), ++index) {
            const EventLines lines = index < scanned.events.size() ? scanned.events[index] : EventLines{};
            ReadEvent(event, calendar.get(), lines, out);
        }
    } catch (const Failure& failure) {
        result.error = {failure.line, failure.text};
        return result;
    }
    result.calendar = std::move(out);
    return result;
}

} // namespace dw::ical
