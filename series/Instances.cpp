#include "series/Instances.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace dw::series {

namespace {

const Helper* g_helper = nullptr;

// Past the end of 2100 with room for a zone's offset: nothing beyond is ever shown.
constexpr Wall Horizon = WallOf(LastDay + 2);

std::string ReadLocalZoneName()
{
    if (const char* tz = std::getenv("TZ"); tz && *tz) {
        std::string name = tz[0] == ':' ? tz + 1 : tz;
        if (const std::size_t at = name.find("zoneinfo/"); at != std::string::npos)
            name.erase(0, at + 9);
        return name;
    }
    char target[PATH_MAX];
    const ssize_t n = ::readlink("/etc/localtime", target, sizeof target - 1);
    if (n > 0) {
        const std::string path(target, static_cast<std::size_t>(n));
        if (const std::size_t at = path.find("zoneinfo/"); at != std::string::npos)
            return path.substr(at + 9);
    }
    // Read with the C library: the light program links no stream library.
    char line[256] = {};
    if (std::FILE* file = std::fopen("/etc/timezone", "re")) {
        if (!std::fgets(line, sizeof line, file))
            line[0] = '\0';
        std::fclose(file);
    }
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r' || name.back() == ' '))
        name.pop_back();
    return name;
}

const std::string& LocalZoneName()
{
    static const std::string name = ReadLocalZoneName();
    return name;
}

std::int64_t MonthIndex(const CivilDate& d)
{
    return static_cast<std::int64_t>(d.year) * 12 + (d.month - 1);
}

// The start of step k of a monthly or yearly rule, or none when that month has no such day.
std::optional<Wall> CalendarStep(const Series& s, const Derived& d, std::int64_t k)
{
    const std::int64_t months = k * s.rule->interval * (s.rule->frequency == Frequency::Yearly ? 12 : 1);
    const std::int64_t index = MonthIndex(d.startDate) + months;
    const auto year = static_cast<int>(index >= 0 ? index / 12 : (index - 11) / 12);
    const auto month = static_cast<int>(index - static_cast<std::int64_t>(year) * 12 + 1);
    if (!IsValidCivil(year, month, d.startDate.day))
        return std::nullopt;
    return WallOf(DaysFromCivil(year, month, d.startDate.day), d.startSecond);
}

// Whether step k of a monthly or yearly rule already lies past `limit`.
bool CalendarStepBeyond(const Series& s, const Derived& d, std::int64_t k, Wall limit)
{
    const std::int64_t months = k * s.rule->interval * (s.rule->frequency == Frequency::Yearly ? 12 : 1);
    const std::int64_t index = MonthIndex(d.startDate) + months;
    const auto year = static_cast<int>(index >= 0 ? index / 12 : (index - 11) / 12);
    const auto month = static_cast<int>(index - static_cast<std::int64_t>(year) * 12 + 1);
    return WallOf(DaysFromCivil(year, month, 1)) > limit;
}

// The last start a COUNT allows, walked from the start; none when it lies past the horizon.
std::optional<Wall> LastByCount(const Series& s, const Derived& d)
{
    const Rule& rule = *s.rule;
    if (d.step > 0) {
        const std::int64_t steps = static_cast<std::int64_t>(rule.count) - 1;
        if (steps > (Horizon - s.start) / d.step)
            return std::nullopt;
        return s.start + steps * d.step;
    }
    std::uint32_t found = 0;
    for (std::int64_t k = 0; !CalendarStepBeyond(s, d, k, Horizon); ++k)
        if (const std::optional<Wall> at = CalendarStep(s, d, k); at && ++found == rule.count)
            return at;
    return std::nullopt;
}

void Derive(const Series& s, Derived* d)
{
    *d = {};
    d->valid = true;
    d->localZone = s.zone == Zone::Named && IsLocalZone(s.tzid);
    d->startDate = CivilFromDays(DayOf(s.start));
    d->startSecond = SecondOfDay(s.start);
    if (!s.rule)
        return;
    const Rule& rule = *s.rule;
    if (!rule.simple()) {
        if (g_helper)
            d->expanded = g_helper->Expand(s);
        return;
    }
    if (rule.frequency == Frequency::Daily || rule.frequency == Frequency::Weekly)
        d->step = static_cast<std::int64_t>(rule.interval) * DaySeconds *
                  (rule.frequency == Frequency::Weekly ? 7 : 1);
    d->last = rule.until;
    if (rule.count > 0) {
        const std::optional<Wall> byCount = LastByCount(s, *d);
        if (byCount && (!d->last || *byCount < *d->last))
            d->last = byCount;
    }
    d->limit = d->last ? std::min(*d->last, Horizon) : Horizon;
}

const Derived& DerivedOf(const Series& s)
{
    if (!s.derived.valid)
        Derive(s, &s.derived);
    return s.derived;
}

bool IsRuleInstance(const Series& s, const Derived& d, Wall w)
{
    if (!s.rule)
        return false;
    if (!s.rule->simple())
        return std::binary_search(d.expanded.begin(), d.expanded.end(), w);
    if (w < s.start || w > d.limit)
        return false;
    if (d.step > 0)
        return (w - s.start) % d.step == 0;
    const CivilDate date = CivilFromDays(DayOf(w));
    if (SecondOfDay(w) != d.startSecond || date.day != d.startDate.day)
        return false;
    const std::int64_t months = MonthIndex(date) - MonthIndex(d.startDate);
    const std::int64_t unit = s.rule->interval * (s.rule->frequency == Frequency::Yearly ? 12 : 1);
    return months % unit == 0;
}

bool Listed(const std::vector<Wall>& values, Wall w)
{
    return std::binary_search(values.begin(), values.end(), w);
}

// The rule's first step at or after from, for a simple rule (it may still lie before from).
std::int64_t FirstStepFrom(const Series& s, const Derived& d, Wall from)
{
    if (from <= s.start)
        return 0;
    if (d.step > 0)
        return (from - s.start + d.step - 1) / d.step;
    const std::int64_t months = MonthIndex(CivilFromDays(DayOf(from))) - MonthIndex(d.startDate);
    const std::int64_t unit = s.rule->interval * (s.rule->frequency == Frequency::Yearly ? 12 : 1);
    return std::max<std::int64_t>(0, months / unit);
}

std::uint64_t CountOfRule(const Series& s, const Derived& d, Wall from, Wall to)
{
    if (!s.rule)
        return 0;
    if (!s.rule->simple())
        return static_cast<std::uint64_t>(std::upper_bound(d.expanded.begin(), d.expanded.end(), to) -
                                          std::lower_bound(d.expanded.begin(), d.expanded.end(), from));
    const Wall lo = std::max(from, s.start);
    const Wall hi = std::min(to, d.limit);
    if (lo > hi)
        return 0;
    if (d.step > 0) {
        const std::int64_t first = (lo - s.start + d.step - 1) / d.step;
        const std::int64_t last = (hi - s.start) / d.step;
        return last >= first ? static_cast<std::uint64_t>(last - first + 1) : 0;
    }
    std::uint64_t n = 0;
    for (std::int64_t k = FirstStepFrom(s, d, lo); !CalendarStepBeyond(s, d, k, hi); ++k)
        if (const std::optional<Wall> at = CalendarStep(s, d, k); at && *at >= lo && *at <= hi)
            ++n;
    return n;
}

} // namespace

void InstallHelper(const Helper* helper)
{
    g_helper = helper;
}

const Helper* InstalledHelper()
{
    return g_helper;
}

bool IsLocalZone(const std::string& tzid)
{
    return !tzid.empty() && tzid == LocalZoneName();
}

bool NeedsHelper(const Series& series)
{
    if (series.rule && !series.rule->simple())
        return true;
    return !series.allDay && series.zone == Zone::Named && !DerivedOf(series).localZone;
}

Wall UtcToLocal(Wall utc)
{
    const std::time_t t = utc - WallOf(UnixEpochDay);
    std::tm local{};
    if (!::localtime_r(&t, &local))
        return utc;
    return WallOf(DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                  local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

Wall LocalToUtc(Wall local)
{
    const CivilDate d = CivilFromDays(DayOf(local));
    const int second = SecondOfDay(local);
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = second / 3600;
    tm.tm_min = second / 60 % 60;
    tm.tm_sec = second % 60;
    tm.tm_isdst = -1;
    const std::time_t t = ::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? local : t + WallOf(UnixEpochDay);
}

Wall ToLocal(const Series& series, Wall own)
{
    if (series.allDay || series.zone == Zone::Floating)
        return own;
    if (series.zone == Zone::Utc)
        return UtcToLocal(own);
    if (DerivedOf(series).localZone || !g_helper)
        return own;
    return g_helper->ToLocal(series, own);
}

Wall FromLocal(const Series& series, Wall local)
{
    if (series.allDay || series.zone == Zone::Floating)
        return local;
    if (series.zone == Zone::Utc)
        return LocalToUtc(local);
    if (DerivedOf(series).localZone || !g_helper)
        return local;
    return g_helper->FromLocal(series, local);
}

std::optional<Wall> LastOfRule(const Series& series)
{
    return DerivedOf(series).last;
}

InstanceCursor::InstanceCursor(const Series& series, Wall from)
    : m_series(series), m_derived(DerivedOf(series))
{
    m_startPending = series.start >= from;
    m_rdateAt = static_cast<std::size_t>(std::lower_bound(series.rdates.begin(), series.rdates.end(), from) -
                                         series.rdates.begin());
    m_exdateAt = static_cast<std::size_t>(
        std::lower_bound(series.exdates.begin(), series.exdates.end(), from) - series.exdates.begin());
    if (series.rule && series.rule->simple())
        m_step = FirstStepFrom(series, m_derived, from);
    else if (series.rule)
        m_listAt = static_cast<std::size_t>(
            std::lower_bound(m_derived.expanded.begin(), m_derived.expanded.end(), from) -
            m_derived.expanded.begin());
    m_ruleHas = nextOfRule(m_ruleNext);
    while (m_ruleHas && m_ruleNext < from)
        m_ruleHas = nextOfRule(m_ruleNext);
}

bool InstanceCursor::nextOfRule(Wall& instance)
{
    const Series& s = m_series;
    if (!s.rule)
        return false;
    if (!s.rule->simple()) {
        if (m_listAt >= m_derived.expanded.size())
            return false;
        instance = m_derived.expanded[m_listAt++];
        return true;
    }
    if (m_derived.step > 0) {
        if (m_step > (m_derived.limit - s.start) / m_derived.step)
            return false;
        instance = s.start + m_step++ * m_derived.step;
        return true;
    }
    for (;;) {
        if (CalendarStepBeyond(s, m_derived, m_step, m_derived.limit))
            return false;
        const std::optional<Wall> at = CalendarStep(s, m_derived, m_step++);
        if (at && *at <= m_derived.limit) {
            instance = *at;
            return true;
        }
    }
}

bool InstanceCursor::nextCandidate(Wall& instance)
{
    bool any = false;
    Wall least = 0;
    const auto offer = [&](bool has, Wall w) {
        if (has && (!any || w < least)) {
            least = w;
            any = true;
        }
    };
    offer(m_startPending, m_series.start);
    offer(m_ruleHas, m_ruleNext);
    offer(m_rdateAt < m_series.rdates.size(),
          m_rdateAt < m_series.rdates.size() ? m_series.rdates[m_rdateAt] : 0);
    if (!any)
        return false;
    // The same start from several sources is one instance.
    if (m_startPending && m_series.start == least)
        m_startPending = false;
    while (m_ruleHas && m_ruleNext == least)
        m_ruleHas = nextOfRule(m_ruleNext);
    while (m_rdateAt < m_series.rdates.size() && m_series.rdates[m_rdateAt] == least)
        ++m_rdateAt;
    instance = least;
    return true;
}

bool InstanceCursor::next(Wall& instance)
{
    const std::vector<Wall>& excluded = m_series.exdates;
    while (nextCandidate(instance)) {
        while (m_exdateAt < excluded.size() && excluded[m_exdateAt] < instance)
            ++m_exdateAt;
        if (m_exdateAt < excluded.size() && excluded[m_exdateAt] == instance)
            continue;
        return true;
    }
    return false;
}

bool IsInstance(const Series& series, Wall at)
{
    if (Listed(series.exdates, at))
        return false;
    return at == series.start || Listed(series.rdates, at) || IsRuleInstance(series, DerivedOf(series), at);
}

std::uint64_t CountInstances(const Series& series, Wall from, Wall to)
{
    if (from > to)
        return 0;
    const Derived& d = DerivedOf(series);
    std::uint64_t n = CountOfRule(series, d, from, to);
    const auto inRange = [&](Wall w) { return w >= from && w <= to; };
    if (inRange(series.start) && !IsRuleInstance(series, d, series.start))
        ++n;
    const auto rdatesFrom = std::lower_bound(series.rdates.begin(), series.rdates.end(), from);
    for (auto it = rdatesFrom; it != series.rdates.end() && *it <= to; ++it)
        if (*it != series.start && !IsRuleInstance(series, d, *it))
            ++n;
    const auto exdatesFrom = std::lower_bound(series.exdates.begin(), series.exdates.end(), from);
    for (auto it = exdatesFrom; it != series.exdates.end() && *it <= to; ++it)
        if (*it == series.start || Listed(series.rdates, *it) || IsRuleInstance(series, d, *it))
            --n;
    return n;
}

} // namespace dw::series
