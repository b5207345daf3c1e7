// Feeds the fuzzer's bytes as a whole termine.dat to both readers of the file,
// the loader that fills the calendar grid and the scanner of the reading
// options, which must agree: on whether the file is whole, and on the
// appointments, in the same order, every number to the bit and every text as
// the loader keeps it (up to its first zero byte). Where the file is damaged,
// the loader keeps exactly what the scanner saw before the damage.
//
// An input that was loaded whole is loaded again with one step of a day's
// container refused: the loader must tell its report once and hold the
// scanner's appointments up to some point only.
#include "RoundTrip.h"

#include "store/AllocationReport.h"
#include "store/ByteStream.h"
#include "store/TerminScan.h"

#include "platform/Exceptions.h"
#include "platform/Memory.h"

#include <QBuffer>

#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

using namespace fuzzing;

namespace {

// The read-ahead decides which records the loader parses in place and which
// through its field reads: the program's, the stream's default, and one that cuts
// counts and records everywhere.
constexpr std::size_t Chunks[] = {256 * 1024, ByteStream::DefaultChunk, 4099};

struct CountingReport : IAllocationReport
{
    void AllocationFailed(int, std::uint32_t) override { ++failures; }
    int failures = 0;
};

enum class Load
{
    Whole,
    Damaged,
    NoMemory,
};

Load LoadBytes(const QByteArray& bytes, std::size_t chunk, CalendarGrid& grid)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer, chunk);
    try {
        const TerminsRead read = ReadTermins(in, grid);
        Require(read.complete != read.outOfMemory);
        return read.complete ? Load::Whole : Load::NoMemory;
    } catch (const dw::EInOutError& e) {
        Require(e.ErrorCode == ByteStream::ReadBeyondEnd);
        return Load::Damaged;
    }
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Requires the grid's appointments, in grid order, to be the first ones
// scanned, field by field; returns how many the grid holds. The days are found
// by the grid's own bits: a day it holds records of without its bit set shows
// as a scanned appointment missing.
std::size_t RequireScanned(CalendarGrid& grid, const std::vector<StoredAppointment>& scanned)
{
    static const auto firstDay =
        static_cast<std::int32_t>(CalendarGrid::DateOf(CalendarGrid::FirstYear, 1, 1));
    Require(grid.Built());
    std::size_t k = 0;
    std::uint32_t filled = 0;
    for (int index = grid.NextFilledDay(0); index < CalendarGrid::TotalDays;
         index = grid.NextFilledDay(index + 1), ++filled) {
        const TDynaArray& day = grid.ContainerAt(index);
        Require(day.count() > 0);
        for (std::uint32_t i = 0; i < day.count(); ++i, ++k) {
            Require(k < scanned.size());
            const auto& a = *static_cast<const Appointment*>(day.itemAt(static_cast<std::int32_t>(i)));
            const StoredAppointment& s = scanned[k];
            Require(s.day == firstDay + index && SameBits(a.TimeOfDay, s.timeOfDay) &&
                    SameBits(a.LastReminded, s.lastReminded) && SameBits(a.FirstLead, s.firstLead) &&
                    SameBits(a.RepeatInterval, s.repeatInterval) && a.Done == s.done &&
                    std::string_view(a.Name) == s.name && std::string_view(a.Description) == s.description);
        }
    }
    Require(filled == grid.FilledDays());
    return k;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CountingReport report;
    static std::vector<StoredAppointment> scanned;
    CalendarGrid& grid = Grid(0);
    grid.pool().Report = &report;
    report.failures = 0;
    scanned.clear();

    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const bool scanWhole = ScanTermins(file, [](const StoredAppointment& a) { scanned.push_back(a); });
    const QByteArray bytes = QByteArray::fromRawData(file.data(), static_cast<qsizetype>(size));
    const std::size_t chunk = Chunks[size % std::size(Chunks)];
    const Load load = LoadBytes(bytes, chunk, grid);
    const std::size_t held = RequireScanned(grid, scanned);
    if (load == Load::NoMemory) {
        // The scanner needs no memory for records: nothing to compare but what was kept.
        Require(report.failures > 0);
        return 0;
    }
    Require(report.failures == 0);
    Require((load == Load::Whole) == scanWhole && held == scanned.size());
    if (load != Load::Whole || scanned.empty())
        return 0;

    // Each day asks for its first step, and a day of over 100 records for more.
    const int refused = 1 + static_cast<int>(size % 8);
    int asked = 0;
    dw::SetAllocFailureSeam([&asked, refused](std::size_t) { return ++asked == refused; });
    const Load again = LoadBytes(bytes, chunk, grid);
    dw::SetAllocFailureSeam({});
    const std::size_t kept = RequireScanned(grid, scanned);
    if (asked < refused) {
        Require(again == Load::Whole && report.failures == 0 && kept == scanned.size());
        return 0;
    }
    Require(again == Load::NoMemory && report.failures == 1 && kept < scanned.size());
    return 0;
}
