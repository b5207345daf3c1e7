// The store's costs, each beside its floor in the same run: a save beside
// writing the same bytes with one write into a temporary file and renaming it
// (with the same syncs a durable save needs, and without), a load beside reading
// them with one read.
#include "BenchStores.h"
#include "store/ByteStream.h"
#include "store/DataFile.h"
#include "store/TerminFormat.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct Folder
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("termine.dat"));
    std::string native = path.toStdString();
    std::string temp = native + ".tmp";
    std::string folder = dir.path().toStdString();
};

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(fd);
    ::close(fd);
}

// One write into a temporary file and a rename, optionally with the syncs.
void FloorSave(const Folder& f, const QByteArray& bytes, bool sync)
{
    const int fd = ::open(f.temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
        std::abort();
    if (sync)
        ::fsync(fd);
    ::close(fd);
    ::rename(f.temp.c_str(), f.native.c_str());
    if (sync)
        SyncFolder(f.folder);
}

void BM_BuildAndClearGrid(benchmark::State& state)
{
    auto grid = std::make_unique<CalendarGrid>();
    for (auto _ : state) {
        grid->Build();
        grid->delall();
    }
}
BENCHMARK(BM_BuildAndClearGrid)->Unit(benchmark::kMicrosecond);

void BM_Save(benchmark::State& state)
{
    auto grid = MakeGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Folder f;
    for (auto _ : state)
        // A data file of its own each time: one that has saved these bytes before skips the write.
        if (!DataFile(f.path).SaveTermins(*grid, {}))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * Bytes(*grid).size());
}
// Arguments: appointments, spread.
BENCHMARK(BM_Save)
    ->Args({0, 0})
    ->Args({10000, RandomDays})
    ->Args({10000, TenADay})
    ->Unit(benchmark::kMicrosecond);

// A tick of the save timer with nothing changed: the bytes are made and found on disk already.
void BM_SaveUnchanged(benchmark::State& state)
{
    auto grid = MakeGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Folder f;
    DataFile file(f.path);
    file.SaveTermins(*grid, {});
    for (auto _ : state)
        if (!file.SaveTermins(*grid, {}))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * Bytes(*grid).size());
}
BENCHMARK(BM_SaveUnchanged)
    ->Args({0, 0})
    ->Args({10000, RandomDays})
    ->Unit(benchmark::kMicrosecond);

void BM_SaveFloor(benchmark::State& state)
{
    const QByteArray bytes =
        Bytes(*MakeGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    Folder f;
    for (auto _ : state)
        FloorSave(f, bytes, state.range(2) != 0);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
// Arguments: appointments, spread, 1 = with the syncs of a durable save.
BENCHMARK(BM_SaveFloor)
    ->Args({0, 0, 1})
    ->Args({10000, RandomDays, 1})
    ->Args({10000, TenADay, 1})
    ->Args({0, 0, 0})
    ->Args({10000, RandomDays, 0})
    ->Unit(benchmark::kMicrosecond);

// Writing the file into memory only: what the save costs beyond the disk.
void BM_SerializeOnly(benchmark::State& state)
{
    auto grid = MakeGrid(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Bytes(*grid));
}
BENCHMARK(BM_SerializeOnly)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_Load(benchmark::State& state)
{
    auto source = MakeGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Folder f;
    DataFile file(f.path);
    file.SaveTermins(*source, {});
    auto grid = std::make_unique<CalendarGrid>();
    grid->Build();
    for (auto _ : state)
        if (!file.OpenTermins(*grid).complete)
            state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * Bytes(*source).size());
}
BENCHMARK(BM_Load)
    ->Args({0, 0})
    ->Args({10000, RandomDays})
    ->Args({10000, TenADay})
    ->Unit(benchmark::kMicrosecond);

// The load at start-up: into a grid that holds nothing yet.
void BM_LoadIntoEmptyGrid(benchmark::State& state)
{
    auto source = MakeGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Folder f;
    DataFile file(f.path);
    file.SaveTermins(*source, {});
    auto grid = std::make_unique<CalendarGrid>();
    for (auto _ : state) {
        state.PauseTiming();
        grid->Build();
        state.ResumeTiming();
        if (!file.OpenTermins(*grid).complete)
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(state.iterations() * Bytes(*source).size());
}
BENCHMARK(BM_LoadIntoEmptyGrid)
    ->Args({10000, RandomDays})
    ->Args({10000, TenADay})
    ->Args({100000, RandomDays})
    ->Unit(benchmark::kMicrosecond);

void BM_LoadFloor(benchmark::State& state)
{
    const QByteArray bytes =
        Bytes(*MakeGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    Folder f;
    FloorSave(f, bytes, false);
    QByteArray target(bytes.size(), Qt::Uninitialized);
    for (auto _ : state) {
        const int fd = ::open(f.native.c_str(), O_RDONLY);
        if (::read(fd, target.data(), static_cast<size_t>(target.size())) != target.size())
            std::abort();
        ::close(fd);
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadFloor)
    ->Args({0, 0})
    ->Args({10000, RandomDays})
    ->Args({10000, TenADay})
    ->Args({100000, RandomDays})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
