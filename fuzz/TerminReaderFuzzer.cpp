// Feeds arbitrary bytes to the data file's reader as a whole file, into grids
// that still hold the previous input (a reload empties only the days that held
// something). Most mutations of a 147 KB file end early at a cut; the day
// records target reaches the records much faster.
#include "RoundTrip.h"

using namespace fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CalendarGrid& first = Grid(0);
    CalendarGrid& second = Grid(1);
    TerminsRead read;
    const bool accepted =
        Read(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), first, read);
    RequireWhole(first, AllDays);
    if (!accepted)
        return 0;
    const QByteArray written = Write(first, read.settings);
    TerminsRead again;
    Require(Read(written, second, again));
    Require(again.settings == read.settings);
    RequireSameDays(first, second, AllDays);
    Require(Write(second, again.settings) == written);
    return 0;
}
