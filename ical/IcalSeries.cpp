#include "ical/IcalSeries.h"

#include "ical/CalendarImport.h"
#include "ical/IcalConverter.h"

#include "series/IcalHelper.h"
#include "series/Instances.h"
#include "series/SeriesEdit.h"
#include "series/SeriesReader.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace dw::ical {

namespace {

using dw::series::Series;

std::string TextOf(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    std::string bytes(text ? text : "");
    icalmemory_free_buffer(text);
    return bytes;
}

bool OursToKeep(icalproperty* p)
{
    switch (icalproperty_isa(p)) {
    case ICAL_DTSTART_PROPERTY:
    case ICAL_RRULE_PROPERTY:
    case ICAL_RDATE_PROPERTY:
    case ICAL_EXDATE_PROPERTY:
    case ICAL_RECURRENCEID_PROPERTY:
        return true;
    case ICAL_X_PROPERTY:
        return std::string_view(icalproperty_get_x_name(p)) == dw::series::OccurrenceStateProperty;
    default:
        return false;
    }
}

// The event's times, rule and occurrence states alone, as the series file holds
// them: its texts and reminder are the import's to read. A TZID that names no
// zone the import knows is floating time, as the import reads it.
std::string TimesOf(icalcomponent* event, const EventInfo& info, bool knownZone, const std::string& summary)
{
    ComponentPtr copy(icalcomponent_new(ICAL_VEVENT_COMPONENT));
    if (!info.uid.isEmpty())
        icalcomponent_add_property(copy.get(), icalproperty_new_uid(info.uid.constData()));
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
        if (!OursToKeep(p))
            continue;
        icalproperty* kept = icalproperty_new_clone(p);
        if (!knownZone)
            icalproperty_remove_parameter_by_kind(kept, ICAL_TZID_PARAMETER);
        icalcomponent_add_property(copy.get(), kept);
    }
    if (!summary.empty())
        icalcomponent_add_property(copy.get(), icalproperty_new_summary(summary.c_str()));
    std::string text = TextOf(copy.get());
    // The stamp as the file gave it, for the series reader to take if it can.
    if (!info.stamp.isEmpty() && text.size() > 12)
        text.insert(text.size() - 12, "DTSTAMP:" + info.stamp.toStdString() + "\r\n");
    return text;
}

std::string ZoneTextOf(icalproperty* start, icalcomponent* zones)
{
    icalparameter* tzid = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER);
    if (!tzid)
        return {};
    icaltimezone* own = icalcomponent_get_timezone(zones, icalparameter_get_tzid(tzid));
    icalcomponent* zone = own ? icaltimezone_get_component(own) : nullptr;
    return zone ? TextOf(zone) : std::string();
}

std::string Calendar(const std::string& content)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + content + "END:VCALENDAR\r\n";
}

// A rule libical follows from its text: the import's own walk checks first that it ends.
bool NeedsWalk(const Series& s)
{
    return s.rule && !s.rule->simple();
}

// A series has one rule, counted in days at the least.
bool FitsASeries(icalcomponent* event)
{
    icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    if (!rrule)
        return true;
    if (icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
        return false;
    const icalrecurrencetype_frequency f = icalproperty_get_rrule(rrule).freq;
    return f == ICAL_DAILY_RECURRENCE || f == ICAL_WEEKLY_RECURRENCE || f == ICAL_MONTHLY_RECURRENCE ||
           f == ICAL_YEARLY_RECURRENCE;
}

// libical writes no moment after the year 3000 (it writes zeros instead), so the
// series file could not keep one. None matters before 2101: a stamp goes, a
// later end of the rule is no end, later dates and changes are none.
void KeepWritable(Series& s)
{
    const dw::series::Wall limit = dw::series::WallOf(dw::DaysFromCivil(3001, 1, 1));
    const auto late = [&](dw::series::Wall w) { return w >= limit; };
    if (late(s.stamp))
        s.stamp = 0;
    if (s.rule && s.rule->until && late(*s.rule->until))
        s.rule->until.reset();
    if (s.rule && !s.rule->simple()) {
        icalrecurrencetype rule = icalrecurrencetype_from_string(s.rule->text.c_str());
        if (!icaltime_is_null_time(rule.until) && rule.until.year > 3000) {
            rule.until = icaltime_null_time();
            char* text = icalrecurrencetype_as_string_r(&rule);
            s.rule->text = text ? text : "";
            icalmemory_free_buffer(text);
        }
    }
    std::erase_if(s.rdates, late);
    std::erase_if(s.exdates, late);
    std::erase_if(s.exceptions,
                  [&](const dw::series::Exception& x) { return late(x.recurrenceId) || late(x.start); });
    std::erase_if(s.states, [&](const dw::series::ReminderState& r) { return late(r.recurrenceId); });
}

} // namespace

dw::series::Fields SeriesFieldsOf(const ImportedAppointment& item, int& lost)
{
    const StoreFields f = StoreFieldsOf(item);
    lost += f.lostCharacters;
    return {f.name.toStdString(), f.description.toStdString(), f.firstLead, f.repeatInterval};
}

SeriesCollector::SeriesCollector(Budget& budget, Recurrences& recurrences)
    : m_budget(budget), m_recurrences(recurrences)
{
    // Zones other than this machine's and rules beyond the simple form are libical's.
    dw::series::InstallIcalHelper();
}

bool SeriesCollector::take(icalcomponent* event, const EventInfo& info, const ImportedAppointment& item,
                           icalcomponent* zones, ImportedCalendar& out)
{
    if (!FitsASeries(event))
        return false;
    icalproperty* dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    const icaltimezone* zone = ZoneOf(dtstart, zones);
    const bool knownZone = zone || TzidOf(dtstart).isEmpty();
    std::string text = ZoneTextOf(dtstart, zones) + TimesOf(event, info, knownZone, {});
    dw::series::ReadOutcome read = dw::series::ReadSeries(Calendar(text));
    // A rule the series reader cannot take becomes appointments, as before.
    if (!read.complete || read.set.size() != 1)
        return false;
    Series& s = read.set[0];
    KeepWritable(s);
    if (NeedsWalk(s)) {
        // Walked within the bounds per event first: a rule whose walk the bound on
        // steps ends before 2100 would cost the program as much, and stays appointments.
        ImportedCalendar walked;
        const icaltimetype start = icalproperty_get_dtstart(dtstart);
        const std::vector<Moment> moments =
            m_recurrences.of(event, start, zone, TzidOf(dtstart), zones, info.lines, info.key, walked);
        if (walked.rulesEnded > 0)
            return false;
        if (moments.empty() && walked.cutOff == 0) {
            ++out.outsideRange;
            return true;
        }
    } else if (dw::series::CountInstances(s, dw::series::WallOf(dw::series::FirstDay),
                                          dw::series::WallOf(dw::series::LastDay + 1) - 1) == 0) {
        ++out.outsideRange;
        return true;
    }
    if (m_byUid.contains(QByteArray::fromStdString(s.uid))) {
        ++out.duplicates;
        return true;
    }
    m_budget.chargeAppointments(static_cast<qint64>(1 + s.rdates.size() + s.exdates.size()));
    s.changed();
    int lost = 0;
    s.fields = SeriesFieldsOf(item, lost);
    for (auto& [tzid, zoneText] : read.set.zones())
        m_set.zones().emplace(tzid, std::move(zoneText));
    m_byUid.insert(QByteArray::fromStdString(s.uid), m_set.size());
    m_set.list().push_back(std::move(s));
    m_kept.push_back({std::move(text), item});
    out.seriesLost.push_back(lost);
    return true;
}

void SeriesCollector::change(icalcomponent* event, const EventInfo& info, const ImportedAppointment& item,
                             std::size_t place, icalcomponent* zones)
{
    if (info.uid.isEmpty())
        return;
    icalproperty* rid = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    const bool knownZone = ZoneOf(rid, zones) || TzidOf(rid).isEmpty();
    // Numbered, so that each exception finds its fields again after the reading.
    const std::string summary = std::to_string(m_changes.size());
    m_changes.push_back({info.uid, TimesOf(event, info, knownZone, summary), place, item, info.cancelled});
}

void SeriesCollector::finish(ImportedCalendar& out, Collected& collected)
{
    std::vector<std::vector<const Change*>> of(m_set.size());
    for (const Change& c : m_changes)
        if (auto found = m_byUid.constFind(c.uid); found != m_byUid.constEnd())
            of[*found].push_back(&c);
    for (std::size_t i = 0; i < of.size(); ++i)
        if (!of[i].empty())
            attach(i, of[i], out, collected);
    out.series = std::move(m_set);
}

void SeriesCollector::attach(std::size_t index, const std::vector<const Change*>& changes,
                             ImportedCalendar& out, Collected& collected)
{
    m_budget.check();
    std::string text = m_kept[index].text;
    for (const Change* c : changes)
        text += c->text;
    dw::series::ReadOutcome read = dw::series::ReadSeries(Calendar(text));
    // What the series reader cannot place stays an appointment of its own, as before.
    if (!read.complete || read.set.size() != 1)
        return;
    Series& s = read.set[0];
    Series& kept = m_set[index];
    s.fields = kept.fields;
    std::vector<dw::series::Wall> cancelled;
    std::vector<dw::series::Wall> strays;
    std::set<std::size_t> apart; // changes that stay appointments of their own
    for (dw::series::Exception& x : s.exceptions) {
        std::size_t n = 0;
        std::from_chars(x.fields.name.data(), x.fields.name.data() + x.fields.name.size(), n);
        const Change& c = m_changes[std::min(n, m_changes.size() - 1)];
        if (c.cancelled) {
            cancelled.push_back(x.recurrenceId);
            continue;
        }
        // A change of an occurrence the series does not have would never show: it stays an appointment.
        if (!dw::series::IsInstance(s, x.recurrenceId)) {
            strays.push_back(x.recurrenceId);
            apart.insert(n);
            continue;
        }
        int lost = 0;
        x.fields = SeriesFieldsOf(c.item, lost);
        out.seriesLost[index] += lost;
        dw::series::SetState(s, x.recurrenceId, c.item.lastReminded, c.item.done != 0);
    }
    for (const dw::series::Wall id : strays)
        std::erase_if(s.exceptions, [&](const dw::series::Exception& x) { return x.recurrenceId == id; });
    for (const dw::series::Wall id : cancelled) {
        dw::series::Exclude(s, id);
        --out.cancelled;
    }
    for (const Change* c : changes)
        if (!apart.count(static_cast<std::size_t>(c - m_changes.data())))
            collected.drop(c->place);
    KeepWritable(s);
    s.changed();
    kept = std::move(s);
}

} // namespace dw::ical
