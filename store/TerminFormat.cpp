#include "store/TerminFormat.h"

#include <cstdlib>
#include <cstring>
#include <memory>

void WriteTermins(ByteStream& out, const CalendarGrid& grid, const StoredSettings& settings)
{
    grid.ForEachDay([&out](int, int, int, const DayList& day) {
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
    });
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

// Empties every day from the given position in grid order on.
void EmptyFrom(CalendarGrid& grid, int first)
{
    int index = 0;
    grid.ForEachDay([&](int y, int m, int d, DayList&) {
        if (index++ >= first)
            grid.NewContainer(y, m, d);
    });
}

} // namespace

TerminsRead ReadTermins(ByteStream& in, CalendarGrid& grid)
{
    TerminsRead result;
    // One pass: each day is emptied right before it is read; when the read
    // ends early, the days not reached are emptied too.
    int reached = 0;
    try {
        for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y)
            for (int m = 1; m <= 12; ++m)
                for (int d = 1; d <= grid.DayCount(y, m); ++d) {
                    grid.NewContainer(y, m, d);
                    ++reached;
                    DayList& day = grid.Day(y, m, d);
                    std::int32_t count = 0;
                    in.ReadInt32(count);
                    for (std::int32_t i = 0; i < count; ++i)
                        if (!ReadEntry(in, day)) {
                            result.outOfMemory = true;
                            EmptyFrom(grid, reached);
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
        EmptyFrom(grid, reached);
        throw;
    }
    return result;
}
