#include "series/SeriesEdit.h"

#include "series/Instances.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace dw::series {

namespace {

template <typename T> auto LowerById(std::vector<T>& items, Wall id)
{
    return std::lower_bound(items.begin(), items.end(), id,
                            [](const T& item, Wall wanted) { return item.recurrenceId < wanted; });
}

void InsertSorted(std::vector<Wall>& values, Wall value)
{
    const auto it = std::lower_bound(values.begin(), values.end(), value);
    if (it == values.end() || *it != value)
        values.insert(it, value);
}

} // namespace

std::string NewUid()
{
    std::random_device random;
    char text[40];
    std::snprintf(text, sizeof text, "%08x%08x%08x", random(), random(), random());
    return std::string(text) + "@datumswecker";
}

Series NewSeries(std::int64_t day, int second, const Fields& fields, const Rule& rule, Wall stampUtc)
{
    Series s;
    s.uid = NewUid();
    s.stamp = stampUtc;
    s.start = WallOf(day, second);
    s.rule = rule;
    s.fields = fields;
    return s;
}

void SetState(Series& series, Wall recurrenceId, double lastReminded, bool done)
{
    const auto it = LowerById(series.states, recurrenceId);
    const bool found = it != series.states.end() && it->recurrenceId == recurrenceId;
    if (lastReminded == 0.0 && !done) {
        if (found)
            series.states.erase(it);
        return;
    }
    if (found)
        *it = {recurrenceId, lastReminded, done};
    else
        series.states.insert(it, {recurrenceId, lastReminded, done});
}

void Exclude(Series& series, Wall recurrenceId)
{
    InsertSorted(series.exdates, recurrenceId);
    if (const auto e = LowerById(series.exceptions, recurrenceId);
        e != series.exceptions.end() && e->recurrenceId == recurrenceId)
        series.exceptions.erase(e);
    SetState(series, recurrenceId, 0.0, false);
    series.changed();
}

Exception& ExceptionFor(Series& series, Wall recurrenceId)
{
    const auto it = LowerById(series.exceptions, recurrenceId);
    if (it != series.exceptions.end() && it->recurrenceId == recurrenceId)
        return *it;
    return *series.exceptions.insert(it, {recurrenceId, recurrenceId, series.fields});
}

void SetTimeOfDay(Series& series, int second)
{
    const int old = SecondOfDay(series.start);
    const Wall delta = second - old;
    if (delta == 0)
        return;
    const auto move = [delta](Wall& w) { w += delta; };
    move(series.start);
    std::for_each(series.rdates.begin(), series.rdates.end(), move);
    std::for_each(series.exdates.begin(), series.exdates.end(), move);
    for (Exception& e : series.exceptions) {
        if (SecondOfDay(e.start) == old && DayOf(e.start) == DayOf(e.recurrenceId))
            move(e.start);
        move(e.recurrenceId);
    }
    for (ReminderState& s : series.states)
        move(s.recurrenceId);
    if (series.rule && series.rule->until && SecondOfDay(*series.rule->until) == old)
        move(*series.rule->until);
    series.changed();
}

std::vector<LostException> SetRule(Series& series, const std::optional<Rule>& rule)
{
    series.rule = rule;
    series.changed();
    std::vector<LostException> lost;
    std::erase_if(series.exceptions, [&](const Exception& e) {
        if (IsInstance(series, e.recurrenceId))
            return false;
        const auto state = LowerById(series.states, e.recurrenceId);
        lost.push_back({e, state != series.states.end() && state->recurrenceId == e.recurrenceId
                               ? *state
                               : ReminderState{e.recurrenceId, 0.0, false}});
        return true;
    });
    std::erase_if(series.states, [&](const ReminderState& s) { return !IsInstance(series, s.recurrenceId); });
    series.changed();
    return lost;
}

} // namespace dw::series
