#include "series/IcalHelper.h"

#include <libical/ical.h>

#include <algorithm>
#include <ctime>

namespace dw::series {

namespace {

icaltimetype IcalOf(Wall w)
{
    icaltimetype t = icaltime_null_time();
    const CivilDate d = CivilFromDays(DayOf(w));
    const int second = SecondOfDay(w);
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    t.hour = second / 3600;
    t.minute = second / 60 % 60;
    t.second = second % 60;
    return t;
}

Wall WallOfIcal(const icaltimetype& t)
{
    return WallOf(DaysFromCivil(t.year, t.month, t.day),
                  t.is_date ? 0 : t.hour * 3600 + t.minute * 60 + t.second);
}

// Only names of the form Area/City reach the system's zone files: a TZID such
// as ../../dev/stdin must not make libical open files of the file's choosing.
bool IsZoneName(const std::string& id)
{
    if (id.empty() || id.size() > 64 || id.front() == '/' || id.back() == '/' ||
        id.find("//") != std::string::npos)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
               c == '_' || c == '-' || c == '+';
    });
}

struct IteratorDeleter
{
    void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};

} // namespace

struct IcalHelper::Zones
{
    std::map<std::string, icaltimezone*> own; // from the file, owned here
    ~Zones()
    {
        for (auto& [tzid, zone] : own)
            icaltimezone_free(zone, 1);
    }
};

void InstallIcalHelper()
{
    static const IcalHelper helper;
    if (!InstalledHelper())
        InstallHelper(&helper);
}

IcalHelper::IcalHelper() : m_zones(std::make_unique<Zones>()) {}

IcalHelper::~IcalHelper() = default;

void IcalHelper::UseZones(const std::map<std::string, std::string>& zones) const
{
    icalerror_set_errors_are_fatal(0);
    for (const auto& [tzid, text] : zones) {
        if (m_zones->own.count(tzid))
            continue;
        icalcomponent* component = icalparser_parse_string(text.c_str());
        if (!component)
            continue;
        icaltimezone* zone = icaltimezone_new();
        // The zone takes the component; a component that is no zone stays ours to free.
        if (icalcomponent_isa(component) == ICAL_VTIMEZONE_COMPONENT &&
            icaltimezone_set_component(zone, component)) {
            m_zones->own.emplace(tzid, zone);
        } else {
            icalcomponent_free(component);
            icaltimezone_free(zone, 1);
        }
    }
}

_icaltimezone* IcalHelper::ZoneOf(const std::string& tzid) const
{
    if (const auto it = m_zones->own.find(tzid); it != m_zones->own.end())
        return it->second;
    return IsZoneName(tzid) ? icaltimezone_get_builtin_timezone(tzid.c_str()) : nullptr;
}

Wall IcalHelper::ToLocal(const Series& series, Wall own) const
{
    icaltimezone* zone = ZoneOf(series.tzid);
    if (!zone)
        return own;
    const time_t utc = icaltime_as_timet_with_zone(IcalOf(own), zone);
    return UtcToLocal(static_cast<Wall>(utc) + WallOf(UnixEpochDay));
}

Wall IcalHelper::FromLocal(const Series& series, Wall local) const
{
    icaltimezone* zone = ZoneOf(series.tzid);
    if (!zone)
        return local;
    const Wall utc = LocalToUtc(local) - WallOf(UnixEpochDay);
    return WallOfIcal(icaltime_from_timet_with_zone(static_cast<time_t>(utc), 0, zone));
}

std::vector<Wall> IcalHelper::Expand(const Series& series) const
{
    std::vector<Wall> starts;
    if (!series.rule || series.rule->simple())
        return starts;
    icalerror_set_errors_are_fatal(0);
    const icalrecurrencetype rule = icalrecurrencetype_from_string(series.rule->text.c_str());
    if (rule.freq == ICAL_NO_RECURRENCE)
        return starts;
    icaltimetype start = IcalOf(series.start);
    start.is_date = series.allDay ? 1 : 0;
    std::unique_ptr<icalrecur_iterator, IteratorDeleter> it(icalrecur_iterator_new(rule, start));
    if (!it)
        return starts;
    // Without a count, the walk may begin where the calendar does.
    const Wall first = WallOf(FirstDay);
    if (rule.count == 0 && series.start < first)
        icalrecur_iterator_set_start(it.get(), IcalOf(first));
    const Wall last = WallOf(LastDay + 2);
    for (int step = 0; step < RuleSteps; ++step) {
        const icaltimetype next = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(next))
            break;
        const Wall w = WallOfIcal(next);
        if (w > last)
            break;
        if (w >= first - DaySeconds)
            starts.push_back(w);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

} // namespace dw::series
