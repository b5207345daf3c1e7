// Start-up of the date tree against an eager tree widget holding every node, built
// in the same run; and the refill of the list at the root.
#include "browser/CalendarPage.h"
#include "browser/DateKey.h"
#include "browser/DateTreeModel.h"
#include "controls/Pictures.h"
#include "platform/Application.h"
#include "platform/RegionalFormats.h"

#include <QDate>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <ctime>
#include <malloc.h>
#include <memory>

namespace {

dw::TDateTime Today()
{
    return dw::EncodeDate(2024, 1, 5) + 0.4;
}

// Bytes the heap has handed out and not taken back (Qt allocates with malloc as
// well as with new, so the allocator's own count is the honest one).
std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

CalendarGrid& Grid()
{
    static CalendarGrid grid;
    static bool built = false;
    if (!built) {
        grid.Build();
        built = true;
    }
    return grid;
}

std::unique_ptr<TCalendarPage> StartLazy()
{
    auto page = std::make_unique<TCalendarPage>(Grid());
    page->ShowAll();
    page->SetInitialPosition(Today());
    return page;
}

// The baseline: one stored item per node, as a tree control that holds them all.
std::unique_ptr<QTreeWidget> StartEager()
{
    static const QIcon images[5] = {
        QIcon(ImageListPicture("tree_arrow.bmp")), QIcon(ImageListPicture("tree_papers.bmp")),
        QIcon(ImageListPicture("tree_year.bmp")), QIcon(ImageListPicture("tree_month.bmp")),
        QIcon(ImageListPicture("tree_day.bmp"))};
    auto tree = std::make_unique<QTreeWidget>();
    tree->setHeaderHidden(true);
    tree->setIndentation(19);
    tree->setUpdatesEnabled(false);
    CalendarGrid& grid = Grid();
    FillWeekdays(grid);
    auto* root = new QTreeWidgetItem(QStringList{QStringLiteral("Jahre")});
    root->setIcon(0, images[1]);
    root->setData(0, Qt::UserRole, 0u);
    QTreeWidgetItem* todayItem = nullptr;
    const QDate today = dw::ToQDate(Today());
    for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y) {
        auto* year = new QTreeWidgetItem(root, QStringList{QString::number(y)});
        year->setIcon(0, images[2]);
        year->setData(0, Qt::UserRole, MakeKey(y));
        for (int m = 1; m <= 12; ++m) {
            auto* month = new QTreeWidgetItem(year, QStringList{MonthName(m)});
            month->setIcon(0, images[3]);
            month->setData(0, Qt::UserRole, MakeKey(y, m));
            for (int d = 1; d <= grid.DayCount(y, m); ++d) {
                auto* day = new QTreeWidgetItem(month, QStringList{QString::number(d) + QStringLiteral(". ") +
                                                                   QLatin1String(grid.Day(y, m, d).Weekday)});
                day->setIcon(0, images[4]);
                day->setData(0, Qt::UserRole, MakeKey(y, m, d));
                if (QDate(y, m, d) == today)
                    todayItem = day;
            }
        }
    }
    tree->addTopLevelItem(root);
    tree->setUpdatesEnabled(true);
    root->setExpanded(true);
    todayItem->parent()->parent()->setExpanded(true);
    todayItem->parent()->setExpanded(true);
    tree->setCurrentItem(todayItem);
    return tree;
}

template <typename Start> void Startup(benchmark::State& state, Start start)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        auto made = start();
        bytes = HeapInUse() - before;
        benchmark::DoNotOptimize(made.get());
        state.PauseTiming();
        made.reset();
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["heap_bytes"] = static_cast<double>(bytes);
}

void BM_StartupLazyPage(benchmark::State& state)
{
    Startup(state, StartLazy);
}
BENCHMARK(BM_StartupLazyPage)->Unit(benchmark::kMillisecond);

void BM_StartupEagerTreeWidget(benchmark::State& state)
{
    Startup(state, StartEager);
}
BENCHMARK(BM_StartupEagerTreeWidget)->Unit(benchmark::kMillisecond);

// CPU time of this thread: other programs on the machine do not count.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Both in turn, so the ratios come from one run; the target is at most 0.1 for each.
// One warm-up of each first, so caches the first widget fills count for neither.
void BM_StartupRatio(benchmark::State& state)
{
    StartLazy().reset();
    StartEager().reset();
    double lazyTime = 0, eagerTime = 0, lazyBytes = 0, eagerBytes = 0;
    for (auto _ : state) {
        std::size_t before = HeapInUse();
        double t0 = ThreadSeconds();
        auto lazy = StartLazy();
        lazyTime += ThreadSeconds() - t0;
        lazyBytes += static_cast<double>(HeapInUse() - before);
        lazy.reset();
        // Tidying up after a teardown belongs to neither start-up (freeing the eager
        // tree's 38,204 items leaves the allocator to consolidate them at its next use).
        malloc_trim(0);

        before = HeapInUse();
        t0 = ThreadSeconds();
        auto eager = StartEager();
        eagerTime += ThreadSeconds() - t0;
        eagerBytes += static_cast<double>(HeapInUse() - before);
        eager.reset();
        malloc_trim(0);
    }
    state.counters["time_ratio"] = lazyTime / eagerTime;
    state.counters["memory_ratio"] = lazyBytes / eagerBytes;
}
BENCHMARK(BM_StartupRatio)->Unit(benchmark::kMillisecond)->Iterations(20);

// The list at the root adds up the counts of all 36,890 days on each refill.
void BM_RootRefill(benchmark::State& state)
{
    CalendarGrid& grid = Grid();
    for (int y : {2000, 2024, 2100})
        grid.NewAppointment(y, 6, 1);
    auto page = StartLazy();
    page->SelectNode(0);
    for (auto _ : state)
        page->ShowInformation();
    for (int y : {2000, 2024, 2100})
        grid.DeleteAppointment(y, 6, 1, 0);
}
BENCHMARK(BM_RootRefill)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    dw::TApplication app(argc, argv);
    dw::SetFormats({QStringLiteral("%d.%m.%Y"), QStringLiteral("%H:%M:%S")});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
