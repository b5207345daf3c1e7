// Series beside what the program did without them, in the same run: the check
// pass over 100,000 appointments with and without 1,000 open weekly series, and
// the list's counts of a year with 1,000 series against the same year holding
// their occurrences as single appointments.
#include "BenchStores.h"

#include "browser/DateKey.h"
#include "browser/ListRows.h"
#include "core/ReminderCheck.h"
#include "platform/Clock.h"
#include "series/SeriesEdit.h"
#include "store/TerminFormat.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int Appointments = 100000;
constexpr int SeriesCount = 1000;
constexpr int Year = 2030;

struct Fixture
{
    Fixture() : clock(dw::EncodeDate(2030, 6, 12) + 0.5)
    {
        dw::SetClock(&clock);
        // The appointments as the program holds them after start: read from their file, none due.
        auto made = MakeGrid(Appointments);
        made->ForEachDay([&](int y, int m, int d, DayList& day) {
            for (std::uint32_t i = 0; i < day.count(); ++i) {
                Appointment& a = *day.at(static_cast<std::int32_t>(i));
                const double t = CalendarGrid::DateOf(y, m, d) + a.TimeOfDay;
                if (t >= clock.now() && t - a.FirstLead <= clock.now())
                    a.LastReminded = clock.now();
            }
        });
        QByteArray bytes = Bytes(*made);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        ByteStream in(&buffer);
        if (!ReadTermins(in, *grid).complete)
            std::abort();
        // Those of the series that are in their window were just reminded.
        series = MakeSeries(SeriesCount);
        for (const dw::series::Occurrence& o : series.Due(clock.now()))
            dw::series::SetState(series[o.series], o.recurrenceId, clock.now(), false);
        if (!series.Due(clock.now()).empty())
            std::abort();
        // The same year with every occurrence of the series as an appointment of its own.
        asAppointments->Build();
        const auto first = static_cast<std::int64_t>(CalendarGrid::DateOf(Year, 1, 1));
        const auto last = static_cast<std::int64_t>(CalendarGrid::DateOf(Year, 12, 31));
        for (const dw::series::Occurrence& o : series.Occurrences(first, last)) {
            const QDate date = dw::ToQDate(static_cast<double>(o.day()));
            Appointment* a = asAppointments->NewAppointment(date.year(), date.month(), date.day());
            if (!a)
                std::abort();
            a->TimeOfDay = o.timeOfDay();
        }
        emptyGrid->Build();
    }
    ~Fixture() { dw::SetClock(nullptr); }

    dw::FakeClock clock;
    std::unique_ptr<CalendarGrid> grid = std::make_unique<CalendarGrid>();
    dw::series::SeriesSet series;
    std::unique_ptr<CalendarGrid> asAppointments = std::make_unique<CalendarGrid>();
    std::unique_ptr<CalendarGrid> emptyGrid = std::make_unique<CalendarGrid>();
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

// The pass over the appointments alone, and with the series beside them.
void Pass(benchmark::State& state)
{
    ReminderCheck check(*Data().grid);
    if (state.range(0) != 0)
        check.setSeries(&Data().series, {});
    for (auto _ : state)
        check.CheckTermins();
}
BENCHMARK(Pass)->ArgName("series")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The list at a year's node: twelve months' counts.
void YearCounts(benchmark::State& state)
{
    const bool series = state.range(0) != 0;
    const CalendarGrid& grid = series ? *Data().emptyGrid : *Data().asAppointments;
    for (auto _ : state)
        benchmark::DoNotOptimize(ListRowsFor(grid, MakeKey(Year), series ? &Data().series : nullptr));
}
BENCHMARK(YearCounts)->ArgName("series")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The list at the root: every year's count.
void RootCounts(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ListRowsFor(*Data().emptyGrid, MakeKey(0), &Data().series));
}
BENCHMARK(RootCounts)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
