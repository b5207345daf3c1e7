#include "series/SeriesSet.h"

#include "core/DueRule.h"
#include "series/Instances.h"

#include <algorithm>
#include <cmath>

namespace dw::series {

namespace {

// Leads beyond the calendar's century look no further than it.
constexpr double LongestLead = 40000.0;

struct LocalRange
{
    Wall localFrom;
    Wall localTo;
    Wall from; // the same in the series' own time, with room for its offset
    Wall to;
};

LocalRange RangeOf(const Series& s, Wall localFrom, Wall localTo)
{
    if (KeepsWallTime(s))
        return {localFrom, localTo, localFrom, localTo};
    // An offset never reaches a day, so a day's margin catches every instance.
    return {localFrom, localTo, FromLocal(s, localFrom) - DaySeconds, FromLocal(s, localTo) + DaySeconds};
}

// Visits the occurrences in the range; with anyException, every exception
// wherever it lies (each has a lead of its own).
template <typename Visit>
void ForEachInRange(const Series& s, const LocalRange& r, Visit&& visit, bool anyException = false)
{
    const bool same = KeepsWallTime(s);
    InstanceCursor cursor(s, r.from);
    Wall w = 0;
    while (cursor.next(w) && w <= r.to) {
        if (!s.exceptions.empty() && FindException(s, w))
            continue;
        const Wall local = same ? w : ToLocal(s, w);
        if (local >= r.localFrom && local <= r.localTo)
            visit(w, local, s.fields, false);
    }
    for (const Exception& e : s.exceptions) {
        if (std::binary_search(s.exdates.begin(), s.exdates.end(), e.recurrenceId))
            continue;
        const Wall local = same ? e.start : ToLocal(s, e.start);
        if (anyException || (local >= r.localFrom && local <= r.localTo))
            visit(e.recurrenceId, local, e.fields, true);
    }
}

} // namespace

const ReminderState* FindState(const Series& series, Wall recurrenceId)
{
    const auto it = std::lower_bound(series.states.begin(), series.states.end(), recurrenceId,
                                     [](const ReminderState& s, Wall id) { return s.recurrenceId < id; });
    return it != series.states.end() && it->recurrenceId == recurrenceId ? &*it : nullptr;
}

const Exception* FindException(const Series& series, Wall recurrenceId)
{
    const auto it = std::lower_bound(series.exceptions.begin(), series.exceptions.end(), recurrenceId,
                                     [](const Exception& e, Wall id) { return e.recurrenceId < id; });
    return it != series.exceptions.end() && it->recurrenceId == recurrenceId ? &*it : nullptr;
}

bool KeepsWallTime(const Series& series)
{
    return series.allDay || series.zone == Zone::Floating ||
           (series.zone == Zone::Named && IsLocalZone(series.tzid));
}

std::optional<std::size_t> SeriesSet::Find(std::string_view uid) const
{
    for (std::size_t i = 0; i < m_series.size(); ++i)
        if (m_series[i].uid == uid)
            return i;
    return std::nullopt;
}

bool SeriesSet::NeedsHelper() const
{
    return std::any_of(m_series.begin(), m_series.end(),
                       [](const Series& s) { return series::NeedsHelper(s); });
}

void SeriesSet::OccurrencesOf(std::size_t index, std::int64_t firstDay, std::int64_t lastDay,
                              std::vector<Occurrence>& out) const
{
    OccurrencesIn(m_series[index], index, firstDay, lastDay, out);
}

void SeriesSet::OccurrencesIn(const Series& s, std::size_t index, std::int64_t firstDay, std::int64_t lastDay,
                              std::vector<Occurrence>& out)
{
    const std::size_t begin = out.size();
    ForEachInRange(s, RangeOf(s, WallOf(firstDay), WallOf(lastDay + 1) - 1),
                   [&](Wall id, Wall local, const Fields& fields, bool exception) {
                       out.push_back({index, id, local, &fields, exception});
                   });
    std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(begin), out.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.local < b.local; });
}

std::vector<Occurrence> SeriesSet::Occurrences(std::int64_t firstDay, std::int64_t lastDay) const
{
    std::vector<Occurrence> out;
    for (std::size_t i = 0; i < m_series.size(); ++i)
        OccurrencesOf(i, firstDay, lastDay, out);
    return out;
}

std::uint64_t SeriesSet::CountOf(std::size_t index, std::int64_t firstDay, std::int64_t lastDay) const
{
    const Series& s = m_series[index];
    const Wall localFrom = WallOf(firstDay);
    const Wall localTo = WallOf(lastDay + 1) - 1;
    const bool same = KeepsWallTime(s);
    const Wall from = same ? localFrom : FromLocal(s, localFrom);
    const Wall to = same ? localTo : FromLocal(s, localTo + 1) - 1;
    std::uint64_t n = CountInstances(s, from, to);
    // An exception takes its instance's place and shows where it lies now.
    for (const Exception& e : s.exceptions) {
        if (e.recurrenceId >= from && e.recurrenceId <= to && IsInstance(s, e.recurrenceId))
            --n;
        if (std::binary_search(s.exdates.begin(), s.exdates.end(), e.recurrenceId))
            continue;
        const Wall local = same ? e.start : ToLocal(s, e.start);
        if (local >= localFrom && local <= localTo)
            ++n;
    }
    return n;
}

std::uint64_t SeriesSet::Count(std::int64_t firstDay, std::int64_t lastDay) const
{
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < m_series.size(); ++i)
        n += CountOf(i, firstDay, lastDay);
    return n;
}

std::vector<Occurrence> SeriesSet::Due(TDateTime now) const
{
    std::vector<Occurrence> due;
    for (std::size_t i = 0; i < m_series.size(); ++i)
        DueIn(m_series[i], i, now, due);
    SortByMoment(due);
    return due;
}

void SeriesSet::SortByMoment(std::vector<Occurrence>& due)
{
    std::stable_sort(due.begin(), due.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.moment() < b.moment(); });
}

void SeriesSet::DueIn(const Series& s, std::size_t index, TDateTime now, std::vector<Occurrence>& due)
{
    if (!std::isfinite(now))
        return;
    const Wall nowWall = static_cast<Wall>(std::floor(now * DaySeconds));
    // Only an instance from now to the end of its lead can be due. A lead
    // that is no number is judged at now alone, as the rule would judge it.
    const double lead = s.fields.firstLead;
    const double ahead = std::isfinite(lead) && lead > 0 ? std::min(lead, LongestLead) : 0.0;
    const Wall localTo = nowWall + static_cast<Wall>(std::ceil(ahead * DaySeconds)) + 1;
    ForEachInRange(
        s, RangeOf(s, nowWall, localTo),
        [&](Wall id, Wall local, const Fields& fields, bool exception) {
            const Occurrence o{index, id, local, &fields, exception};
            const TDateTime t = o.moment();
            const ReminderState* state = s.states.empty() ? nullptr : FindState(s, id);
            if (IsDue(t, t - fields.firstLead, state ? state->lastReminded : 0.0, fields.repeatInterval,
                      state && state->done, now))
                due.push_back(o);
        },
        true);
}

} // namespace dw::series
