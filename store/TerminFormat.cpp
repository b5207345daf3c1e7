#include "store/TerminFormat.h"

#include <cstdlib>
#include <cstring>
#include <memory>

void WriteDay(ByteStream& out, const DayList& day)
{
    const std::uint32_t count = day.count();
    out.WriteUInt32(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const Appointment& a = *day.at(static_cast<std::int32_t>(i));
        out.WriteDouble(a.TimeOfDay);
        out.WriteDouble(a.LastReminded);
        out.WriteDouble(a.FirstLead);
        out.WriteDouble(a.RepeatInterval);
        out.WriteByte(a.Done);
        out.WriteString(a.Name, std::strlen(a.Name));
        out.WriteString(a.Description, std::strlen(a.Description));
    }
}

void WriteTermins(ByteStream& out, const CalendarGrid& grid, const StoredSettings& settings)
{
    grid.ForEachDay([&out](int, int, int, const DayList& day) { WriteDay(out, day); });
    out.WriteInt32(settings.CheckMinutes);
    out.WriteInt32(settings.CheckSeconds);
    out.WriteInt32(settings.StartMinimised ? 1 : 0);
    out.Flush();
}

namespace {

struct FreeDeleter
{
    void operator()(char* text) const { std::free(text); }
};
using TextBlock = std::unique_ptr<char, FreeDeleter>;

// Reads one entry and appends it to the day once it is whole; false when
// memory ran out.
bool ReadEntry(ByteStream& in, DayList& day)
{
    Appointment a{};
    in.ReadDouble(a.TimeOfDay);
    in.ReadDouble(a.LastReminded);
    in.ReadDouble(a.FirstLead);
    in.ReadDouble(a.RepeatInterval);
    in.ReadByte(a.Done);
    TextBlock name(in.ReadStringBlock());
    if (!name)
        return false;
    TextBlock description(in.ReadStringBlock());
    if (!description)
        return false;
    void* slot = day.Items->Append();
    if (!slot)
        return false;
    a.Name = name.release();
    a.Description = description.release();
    std::memcpy(slot, &a, sizeof a);
    return true;
}

// Empties the days from grid position first on while any of them still holds
// what the grid held before the load.
void EmptyFrom(CalendarGrid& grid, int first, std::uint32_t& stale)
{
    if (stale == 0)
        return;
    int index = 0;
    grid.ForEachDay([&](int y, int m, int d, DayList& day) {
        if (index++ >= first && stale > 0 && day.count() > 0) {
            grid.NewContainer(y, m, d);
            --stale;
        }
    });
}

} // namespace

bool ReadDay(ByteStream& in, DayList& day)
{
    std::int32_t count = 0;
    in.ReadInt32(count);
    for (std::int32_t i = 0; i < count; ++i)
        if (!ReadEntry(in, day))
            return false;
    return true;
}

TerminsRead ReadTermins(ByteStream& in, CalendarGrid& grid)
{
    TerminsRead result;
    grid.BuildMissing();
    // An empty container is in the state of a new one, so only the days that
    // hold appointments need a new container. Each is emptied right before it
    // is read (a reload reuses the blocks it just gave back), and once none is
    // left the days the file leaves empty are not touched at all: loading at
    // start-up skips their counts in runs.
    std::uint32_t stale = grid.FilledDays();
    int reached = 0;
    try {
        // The days by their position in grid order, with the month that holds it.
        int year = CalendarGrid::FirstYear;
        int month = 1;
        int monthStart = 0;
        for (int index = 0; index < CalendarGrid::TotalDays; ++index) {
            if (stale == 0) {
                index += static_cast<int>(
                    in.SkipZeroInt32s(static_cast<std::size_t>(CalendarGrid::TotalDays - index)));
                if (index == CalendarGrid::TotalDays)
                    break;
            }
            while (index >= monthStart + grid.DayCount(year, month)) {
                monthStart += grid.DayCount(year, month);
                if (++month > 12) {
                    month = 1;
                    ++year;
                }
            }
            const int d = index - monthStart + 1;
            reached = index + 1;
            if (stale > 0 && grid.Day(year, month, d).count() > 0) {
                grid.NewContainer(year, month, d);
                --stale;
            }
            if (!ReadDay(in, grid.Day(year, month, d))) {
                result.outOfMemory = true;
                EmptyFrom(grid, reached, stale);
                return result;
            }
        }
        StoredSettings settings;
        std::int32_t startMinimised = 0;
        in.ReadInt32(settings.CheckMinutes);
        in.ReadInt32(settings.CheckSeconds);
        in.ReadInt32(startMinimised);
        // The file may end among the counts or in the settings; no text read
        // follows there, so the early end is raised here.
        in.Check();
        settings.StartMinimised = startMinimised != 0;
        result.settings = settings;
        result.settingsRead = true;
        result.complete = true;
    } catch (...) {
        EmptyFrom(grid, reached, stale);
        throw;
    }
    return result;
}
