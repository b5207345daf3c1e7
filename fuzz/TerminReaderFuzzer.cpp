// Feeds arbitrary bytes to the data file's reader. Besides crashes, leaks and
// undefined behaviour it checks that the grid is whole afterwards and that a
// file read completely is written back in a form that reads back the same.
#include "store/ByteStream.h"
#include "store/TerminFormat.h"

#include "platform/Exceptions.h"
#include "platform/MessageBox.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

CalendarGrid& Grid()
{
    static CalendarGrid* grid = [] {
        // A message box would only print; keep the run quiet.
        dw::SetMessageBoxHandler([](const QString&, const QString&, unsigned) { return int{dw::mrOk}; });
        auto* g = new CalendarGrid;
        g->Build();
        return g;
    }();
    return *grid;
}

bool Read(QByteArray bytes, CalendarGrid& grid, TerminsRead& result)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer);
    try {
        result = ReadTermins(in, grid);
    } catch (const dw::EInOutError& e) {
        if (e.ErrorCode != ByteStream::ReadBeyondEnd)
            std::abort();
        return false;
    }
    return result.complete;
}

QByteArray Write(const CalendarGrid& grid, const StoredSettings& settings)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ByteStream out(&buffer);
    WriteTermins(out, grid, settings);
    return bytes;
}

void CheckWhole(const CalendarGrid& grid)
{
    grid.ForEachDay([](int, int, int, const DayList& day) {
        if (!day.Items)
            std::abort();
        for (std::uint32_t i = 0; i < day.count(); ++i)
            if (!day.at(static_cast<std::int32_t>(i))->Name ||
                !day.at(static_cast<std::int32_t>(i))->Description)
                std::abort();
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CalendarGrid& grid = Grid();
    TerminsRead first;
    const bool complete =
        Read(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), grid, first);
    CheckWhole(grid);
    if (!complete)
        return 0;
    // What was read completely writes back into a fixed point of write and read.
    const QByteArray written = Write(grid, first.settings);
    TerminsRead second;
    if (!Read(written, grid, second) || !(second.settings == first.settings))
        std::abort();
    if (Write(grid, second.settings) != written)
        std::abort();
    return 0;
}
