// One check pass over the whole grid, against the floor of the same rule applied
// to a flat array of the same values in the same run.
#include "platform/Clock.h"
#include "core/DueRule.h"
#include "core/ReminderCheck.h"
#include "store/TerminFormat.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int Appointments = 100000;

struct FlatItem
{
    double t, windowOpens, lastReminded, repeatInterval;
    bool done;
};

// 100,000 appointments, none of them due, on a grid of their own with the same
// values in a flat array beside it. Spread: over every day of the grid, so that
// each day's few records sit in a block of their own (the worst case for the
// walk). Dense: a hundred on each of 1000 days. Loaded: the spread store as
// the program holds it after start, read from its data file.
struct Store
{
    Store(bool spread, double now, bool loaded = false)
    {
        grid->Build();
        struct DayRef
        {
            int y, m, d;
        };
        std::vector<DayRef> days;
        grid->ForEachDay([&](int y, int m, int d, DayList&) { days.push_back({y, m, d}); });
        dayCounts.assign(days.size(), 0);
        for (int k = 0; k < Appointments; ++k) {
            const std::size_t dayIndex = spread ? static_cast<std::size_t>(k) % days.size() : 10000 + k / 100;
            const DayRef& day = days[dayIndex];
            Appointment* a = grid->NewAppointment(day.y, day.m, day.d);
            if (!a)
                std::abort();
            a->TimeOfDay = (k % 96) / 96.0;
            const double t = CalendarGrid::DateOf(day.y, day.m, day.d) + a->TimeOfDay;
            // Those in their reminder window were just reminded.
            if (t >= now && t - a->FirstLead <= now)
                a->LastReminded = now;
            flat.push_back({t, t - a->FirstLead, a->LastReminded, a->RepeatInterval, a->Done != 0});
            ++dayCounts[dayIndex];
        }
        for (const FlatItem& f : flat)
            if (IsDue(f.t, f.windowOpens, f.lastReminded, f.repeatInterval, f.done, now))
                std::abort();
        if (loaded) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            ByteStream out(&buffer);
            WriteTermins(out, *grid, {});
            buffer.close();
            buffer.open(QIODevice::ReadOnly);
            ByteStream in(&buffer);
            grid = std::make_unique<CalendarGrid>();
            if (!ReadTermins(in, *grid).complete)
                std::abort();
        }
    }

    std::unique_ptr<CalendarGrid> grid = std::make_unique<CalendarGrid>();
    std::vector<FlatItem> flat;
    std::vector<std::uint32_t> dayCounts;
};

struct Fixture
{
    Fixture()
        : clock(dw::EncodeDate(2050, 6, 15) + 0.5), spread(true, clock.now()), dense(false, clock.now()),
          loaded(true, clock.now(), true)
    {
        dw::SetClock(&clock);
        empty->Build();
    }
    ~Fixture() { dw::SetClock(nullptr); }

    dw::FakeClock clock;
    Store spread;
    Store dense;
    Store loaded;
    std::unique_ptr<CalendarGrid> empty = std::make_unique<CalendarGrid>();
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

const Store& StoreOf(const benchmark::State& state)
{
    switch (state.range(0)) {
    case 0:
        return Data().dense;
    case 1:
        return Data().spread;
    default:
        return Data().loaded;
    }
}

void FloorFlatRule(benchmark::State& state)
{
    const Store& store = StoreOf(state);
    for (auto _ : state) {
        const double now = dw::Now();
        int due = 0;
        for (const FlatItem& f : store.flat)
            due += IsDue(f.t, f.windowOpens, f.lastReminded, f.repeatInterval, f.done, now);
        benchmark::DoNotOptimize(due);
    }
    state.SetItemsProcessed(state.iterations() * Appointments);
}
// spread: 0 a hundred a day, 1 over all days as appended one by one, 2 the same loaded from its file.
BENCHMARK(FloorFlatRule)->ArgName("spread")->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

void Pass(benchmark::State& state)
{
    ReminderCheck check(*StoreOf(state).grid);
    for (auto _ : state)
        check.CheckTermins();
    state.SetItemsProcessed(state.iterations() * Appointments);
}
BENCHMARK(Pass)->ArgName("spread")->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

// Floor of an empty pass: visiting every day's count in a flat array.
void FloorDayCounts(benchmark::State& state)
{
    const Store& store = Data().spread;
    for (auto _ : state) {
        std::uint32_t total = 0;
        for (std::uint32_t count : store.dayCounts)
            total += count == 0 ? 0 : 1;
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(FloorDayCounts)->Unit(benchmark::kMicrosecond);

void PassEmptyGrid(benchmark::State& state)
{
    ReminderCheck check(*Data().empty);
    for (auto _ : state)
        check.CheckTermins();
}
BENCHMARK(PassEmptyGrid)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
