// Feeds the fuzzer's bytes to the reader of the days' parts directly (count and
// entries), so every input reaches the records at once instead of spending
// itself on the 36,890 counts of a whole file; the whole-file target covers the
// walk over the days and the settings.
//
// Input: a flags byte (bits 0 to 2: how many days follow, 1 to 8; bits 3 and 4:
// the stream's read-ahead), then the days' parts. Whatever is read without an
// error must survive the writer: what it writes reads back into the same days,
// to the last byte of the written, and writes again into the same bytes.
#include "RoundTrip.h"

#include "store/ByteStream.h"

#include "platform/Exceptions.h"

#include <QBuffer>

using namespace fuzzing;

namespace {

// The read-ahead decides where a field or text is cut between two device reads.
constexpr std::size_t Chunks[] = {ByteStream::DefaultChunk, 256, 7, 0};

// Reads the days of range from bytes; true when all of them were read without
// error. With whole set, the days must also end exactly at the end of bytes.
bool ReadDays(QByteArray bytes, std::size_t chunk, CalendarGrid& grid, DayRange range, bool whole)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer, chunk);
    try {
        if (ReadTerminDays(in, grid, range.end).outOfMemory)
            return false;
        in.Check();
    } catch (const dw::EInOutError& e) {
        Require(e.ErrorCode == ByteStream::ReadBeyondEnd);
        return false;
    }
    if (whole) {
        std::uint8_t more = 0;
        Require(!in.ReadByte(more) && in.pendingError() == ByteStream::ReadBeyondEnd);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const DayRange days{0, 1 + (data[0] & 7)};
    const std::size_t chunk = Chunks[(data[0] >> 3) & 3];
    const QByteArray input(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    CalendarGrid& first = Grid(0);
    CalendarGrid& second = Grid(1);
    const bool accepted = ReadDays(input, chunk, first, days, false);
    RequireWhole(first, days);
    if (accepted) {
        const QByteArray written = WriteDays(first, days);
        Require(ReadDays(written, chunk, second, days, true));
        RequireWhole(second, days);
        RequireSameDays(first, second, days);
        Require(WriteDays(second, days) == written);
        EmptyDays(second, days);
    }
    EmptyDays(first, days);
    return 0;
}
