#include "series/SeriesWriter.h"

#include "plain/Windows1252.h"
#include "series/Instances.h"
#include "series/SeriesReader.h"

#include <libical/ical.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

namespace dw::series {

namespace {

struct ComponentDeleter
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

std::string TextOf(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    std::string bytes(text ? text : "");
    icalmemory_free_buffer(text);
    return bytes;
}

icaltimetype IcalTime(Wall w, bool date, bool utc)
{
    icaltimetype t = icaltime_null_time();
    const CivilDate d = CivilFromDays(DayOf(w));
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    if (date) {
        t.is_date = 1;
        return t;
    }
    const int second = SecondOfDay(w);
    t.hour = second / 3600;
    t.minute = second / 60 % 60;
    t.second = second % 60;
    if (utc)
        t.zone = icaltimezone_get_utc_timezone();
    return t;
}

// A moment of the series in its own time, as its DTSTART is written.
icaltimetype OwnTime(const Series& s, Wall w)
{
    return IcalTime(w, s.allDay, !s.allDay && s.zone == Zone::Utc);
}

void AddZone(const Series& s, icalproperty* p)
{
    if (!s.allDay && s.zone == Zone::Named)
        icalproperty_add_parameter(p, icalparameter_new_tzid(s.tzid.c_str()));
}

icaldurationtype DurationOf(long long seconds)
{
    icaldurationtype d = icaldurationtype_null_duration();
    d.is_neg = seconds < 0 ? 1 : 0;
    const long long magnitude = seconds < 0 ? -seconds : seconds;
    d.days = static_cast<unsigned int>(magnitude / 86400);
    d.hours = static_cast<unsigned int>(magnitude / 3600 % 24);
    d.minutes = static_cast<unsigned int>(magnitude / 60 % 60);
    d.seconds = static_cast<unsigned int>(magnitude % 60);
    return d;
}

// Windows-1252 with CR LF as iCalendar's UTF-8 with LF; a CR alone breaks the line too.
std::string Utf8(const std::string& stored)
{
    std::string lf;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] != '\r')
            lf += stored[i];
        else if (i + 1 >= stored.size() || stored[i + 1] != '\n')
            lf += '\n';
    }
    std::string utf8;
    AppendUtf8FromAnsi(utf8, lf);
    return utf8;
}

icalproperty* OwnProperty(const char* name, const std::string& value)
{
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    return p;
}

// A value no clock can have made (from a damaged file) is left out rather than
// written unreadable: the years 1 to 9999 only.
bool Writable(double lastReminded)
{
    return lastReminded != 0.0 && lastReminded > -693593.0 && lastReminded < 2958466.0;
}

void AddCommon(icalcomponent* event, const Fields& f)
{
    const std::string name = Utf8(f.name);
    icalcomponent_add_property(event, icalproperty_new_summary(name.c_str()));
    if (!f.description.empty())
        icalcomponent_add_property(event, icalproperty_new_description(Utf8(f.description).c_str()));
    icalcomponent_add_component(event, NewAlarm(f.firstLead, f.repeatInterval, name));
}

icalcomponent* NewEvent(const Series& s)
{
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(s.uid.c_str()));
    // A series read from a file without a stamp keeps having none.
    if (s.stamp != 0)
        icalcomponent_add_property(event, icalproperty_new_dtstamp(IcalTime(s.stamp, false, true)));
    return event;
}

icalproperty* RuleProperty(const Series& s)
{
    const Rule& rule = *s.rule;
    if (!rule.simple()) {
        icalrecurrencetype parsed = icalrecurrencetype_from_string(rule.text.c_str());
        if (parsed.freq == ICAL_NO_RECURRENCE)
            return nullptr;
        return icalproperty_new_rrule(parsed);
    }
    icalrecurrencetype r;
    icalrecurrencetype_clear(&r);
    static constexpr icalrecurrencetype_frequency Kinds[] = {ICAL_DAILY_RECURRENCE, ICAL_WEEKLY_RECURRENCE,
                                                             ICAL_MONTHLY_RECURRENCE, ICAL_YEARLY_RECURRENCE};
    r.freq = Kinds[static_cast<int>(rule.frequency)];
    r.interval = static_cast<short>(std::min(rule.interval, 32767));
    r.count = static_cast<int>(std::min<std::uint32_t>(rule.count, 2147483647));
    if (rule.until) {
        // With a zone, the end is a UTC moment; a floating series ends in floating time.
        if (s.allDay)
            r.until = IcalTime(*rule.until, true, false);
        else if (s.zone == Zone::Floating)
            r.until = IcalTime(*rule.until, false, false);
        else
            r.until = IcalTime(s.zone == Zone::Utc ? *rule.until : LocalToUtc(ToLocal(s, *rule.until)), false,
                               true);
    }
    return icalproperty_new_rrule(r);
}

std::string IdText(const Series& s, Wall id)
{
    char* text = icaltime_as_ical_string_r(OwnTime(s, id));
    std::string result(text ? text : "");
    icalmemory_free_buffer(text);
    return result;
}

ComponentPtr Master(const Series& s)
{
    ComponentPtr event(NewEvent(s));
    icalproperty* start = icalproperty_new_dtstart(OwnTime(s, s.start));
    AddZone(s, start);
    icalcomponent_add_property(event.get(), start);
    if (s.rule)
        if (icalproperty* rule = RuleProperty(s))
            icalcomponent_add_property(event.get(), rule);
    for (const Wall w : s.rdates) {
        icaldatetimeperiodtype value{};
        value.time = OwnTime(s, w);
        value.period = icalperiodtype_null_period();
        icalproperty* p = icalproperty_new_rdate(value);
        AddZone(s, p);
        icalcomponent_add_property(event.get(), p);
    }
    for (const Wall w : s.exdates) {
        icalproperty* p = icalproperty_new_exdate(OwnTime(s, w));
        AddZone(s, p);
        icalcomponent_add_property(event.get(), p);
    }
    AddCommon(event.get(), s.fields);
    for (const ReminderState& state : s.states) {
        // An exception carries its state in its own event.
        if (FindException(s, state.recurrenceId))
            continue;
        icalproperty* p = OwnProperty(
            OccurrenceStateProperty, Writable(state.lastReminded) ? FormatReminded(state.lastReminded) : "0");
        icalparameter* of = icalparameter_new_x(IdText(s, state.recurrenceId).c_str());
        icalparameter_set_xname(of, OccurrenceParameter);
        icalproperty_add_parameter(p, of);
        if (state.done) {
            icalparameter* done = icalparameter_new_x("1");
            icalparameter_set_xname(done, DoneParameter);
            icalproperty_add_parameter(p, done);
        }
        icalcomponent_add_property(event.get(), p);
    }
    return event;
}

ComponentPtr ExceptionEvent(const Series& s, const Exception& e)
{
    ComponentPtr event(NewEvent(s));
    icalproperty* id = icalproperty_new_recurrenceid(OwnTime(s, e.recurrenceId));
    AddZone(s, id);
    icalcomponent_add_property(event.get(), id);
    icalproperty* start = icalproperty_new_dtstart(OwnTime(s, e.start));
    AddZone(s, start);
    icalcomponent_add_property(event.get(), start);
    AddCommon(event.get(), e.fields);
    const ReminderState* state = FindState(s, e.recurrenceId);
    if (state && Writable(state->lastReminded))
        icalcomponent_add_property(event.get(),
                                   OwnProperty(LastRemindedProperty, FormatReminded(state->lastReminded)));
    if (state && state->done)
        icalcomponent_add_property(event.get(), OwnProperty(DoneProperty, "1"));
    return event;
}

} // namespace

icalcomponent* NewAlarm(double firstLead, double repeatInterval, const std::string& name)
{
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(name.c_str()));
    const long long lead = SecondsOfDays(firstLead);
    icaltriggertype trigger;
    trigger.time = icaltime_null_time();
    trigger.duration = DurationOf(-lead);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    const long long every = SecondsOfDays(repeatInterval);
    const long long repeats = every > 0 && lead > 0 ? std::min<long long>(lead / every, 1000000) : 0;
    icalcomponent_add_property(alarm, icalproperty_new_repeat(static_cast<int>(repeats)));
    icalcomponent_add_property(alarm, icalproperty_new_duration(DurationOf(every)));
    return alarm;
}

std::string WriteSeriesEvents(const Series& series)
{
    icalerror_set_errors_are_fatal(0);
    std::string out = TextOf(Master(series).get());
    for (const Exception& e : series.exceptions)
        out += TextOf(ExceptionEvent(series, e).get());
    return out;
}

std::string WriteZones(const SeriesSet& set)
{
    std::set<std::string> used;
    for (const Series& s : set.list())
        if (s.zone == Zone::Named && !s.allDay)
            used.insert(s.tzid);
    std::string out;
    for (const auto& [tzid, text] : set.zones()) {
        if (!used.count(tzid))
            continue;
        ComponentPtr zone(icalparser_parse_string(text.c_str()));
        if (zone && icalcomponent_isa(zone.get()) == ICAL_VTIMEZONE_COMPONENT)
            out += TextOf(zone.get());
    }
    return out;
}

std::string WriteSeriesFile(const SeriesSet& set)
{
    icalerror_set_errors_are_fatal(0);
    ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Norvex//Datumswecker 1.0//DE"));
    // The frame, then each event written and freed in turn.
    std::string out = TextOf(calendar.get());
    const std::string end = "END:VCALENDAR\r\n";
    if (out.size() < end.size() || out.compare(out.size() - end.size(), end.size(), end) != 0)
        return {};
    out.resize(out.size() - end.size());
    out += WriteZones(set);
    for (const Series& s : set.list())
        out += WriteSeriesEvents(s);
    out += end;
    return out;
}

} // namespace dw::series
