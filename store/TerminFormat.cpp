#include "store/TerminFormat.h"

#include "store/AllocationReport.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

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

// The length of every month of the grid in grid order, for walking the days
// without reading the grid's month records.
struct MonthLengths
{
    MonthLengths()
    {
        for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y)
            for (int m = 1; m <= 12; ++m)
                days[(y - CalendarGrid::FirstYear) * 12 + m - 1] =
                    DaysInMonth(y, static_cast<std::uint8_t>(m));
    }
    std::array<int, CalendarGrid::Years * 12> days{};
};

// A day of the file with the records read for it so far, side by side in the
// records arena.
struct ReadDay
{
    int index;           // grid position
    std::uint32_t count; // records read whole
    std::uint32_t room;  // records the piece of the arena takes
    Appointment* records;
};

// The first part of a load: the file's records and texts into the arenas, in
// file order, with nothing of the grid touched. Raises as the stream does;
// false when the arenas had no memory left.
bool ReadDays(ByteStream& in, ContainerPool& pool, int dayCount, std::vector<ReadDay>& days)
{
    for (int index = 0; index < dayCount; ++index) {
        index += static_cast<int>(in.SkipZeroInt32s(static_cast<std::size_t>(dayCount - index)));
        if (index == dayCount)
            break;
        std::int32_t count = 0;
        in.ReadInt32(count);
        if (count <= 0)
            continue;
        // A count beyond one step is not trusted before its records are read.
        const std::uint32_t room = std::min(static_cast<std::uint32_t>(count), TDynaArray::DefaultBlockSize);
        auto* records = static_cast<Appointment*>(pool.Records.Take(room * sizeof(Appointment)));
        if (!records) {
            ReportAllocationFailure(1, room * sizeof(Appointment));
            return false;
        }
        days.push_back({index, 0, room, records});
        ReadDay& day = days.back();
        const auto take = [&pool](std::size_t length) { return NewArenaText(pool.Texts, length); };
        for (std::int32_t i = 0; i < count; ++i) {
            Appointment a{};
            in.ReadDouble(a.TimeOfDay);
            in.ReadDouble(a.LastReminded);
            in.ReadDouble(a.FirstLead);
            in.ReadDouble(a.RepeatInterval);
            in.ReadByte(a.Done);
            a.Name = in.ReadStringWith(take);
            a.Description = a.Name ? in.ReadStringWith(take) : nullptr;
            if (!a.Description) {
                ReportAllocationFailure(1, room * sizeof(Appointment));
                return false;
            }
            if (day.count == day.room) {
                // More records than a step: a larger piece, the smaller one stays unused.
                const std::uint64_t larger =
                    std::min<std::uint64_t>(std::uint64_t{day.room} * 2, static_cast<std::uint32_t>(count));
                auto* moved = static_cast<Appointment*>(pool.Records.Take(larger * sizeof(Appointment)));
                if (!moved || larger > UINT32_MAX / sizeof(Appointment)) {
                    ReportAllocationFailure(2, static_cast<std::uint32_t>(larger * sizeof(Appointment)));
                    return false;
                }
                std::memcpy(static_cast<void*>(moved), day.records, day.count * sizeof(Appointment));
                day.records = moved;
                day.room = static_cast<std::uint32_t>(larger);
            }
            std::memcpy(static_cast<void*>(day.records + day.count), &a, sizeof a);
            ++day.count;
        }
    }
    return true;
}

// The second part: every day that held appointments before gets a fresh empty
// container and every day read takes its records, in grid order, until a day
// cannot have them (that was reported; the days after it stay empty). Reaching
// the containers only here keeps the reading above free of waiting for them,
// and lets the walk ask for them ahead. False when a day could not take its records.
bool StoreDays(CalendarGrid& grid, const std::vector<ReadDay>& days)
{
    static const MonthLengths lengths;
    constexpr std::size_t Ahead = 16;
    // The cells are asked for once their containers, asked for earlier, have come.
    constexpr std::size_t CellAhead = 8;
    bool stored = true;
    std::size_t next = 0;
    int stale = grid.NextFilledDay(0);
    int year = CalendarGrid::FirstYear;
    int month = 1;
    int monthIndex = 0;
    int monthStart = 0;
    for (;;) {
        const int readIndex = next < days.size() ? days[next].index : CalendarGrid::TotalDays;
        const int index = std::min(stale, readIndex);
        if (index >= CalendarGrid::TotalDays)
            break;
        while (index >= monthStart + lengths.days[monthIndex]) {
            monthStart += lengths.days[monthIndex++];
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
        if (index == stale) {
            grid.NewContainer(year, month, index - monthStart + 1);
            stale = grid.NextFilledDay(index + 1);
        }
        if (index == readIndex) {
            if (next + Ahead < days.size())
                grid.PrefetchContainer(days[next + Ahead].index);
            if (next + CellAhead < days.size())
                grid.PrefetchCell(days[next + CellAhead].index);
            const ReadDay& day = days[next++];
            if (stored && day.count > 0)
                stored = grid.ContainerAt(index).Adopt(day.records, day.count) == day.count;
        }
    }
    return stored;
}

TerminsRead ReadParts(ByteStream& in, CalendarGrid& grid, int dayCount, bool withSettings)
{
    TerminsRead result;
    grid.BuildMissing();
    // What the last load put into the arenas stays there until every day that
    // holds appointments now is renewed; this load's go into new chunks.
    ContainerPool& pool = grid.pool();
    pool.Records.Retire();
    pool.Texts.Retire();
    std::vector<ReadDay> days;
    bool storeDone = false;
    // Stores what was read whole and lets the last load's memory go.
    const auto store = [&] {
        storeDone = true;
        const bool stored = StoreDays(grid, days);
        pool.Records.ReleaseRetired();
        pool.Texts.ReleaseRetired();
        return stored;
    };
    try {
        const bool read = ReadDays(in, pool, dayCount, days);
        if (!store() || !read) {
            result.outOfMemory = true;
            return result;
        }
        if (!withSettings) {
            result.complete = true;
            return result;
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
        // Raised while reading: what was read whole is kept.
        if (!storeDone)
            store();
        throw;
    }
    return result;
}

} // namespace

TerminsRead ReadTermins(ByteStream& in, CalendarGrid& grid)
{
    return ReadParts(in, grid, CalendarGrid::TotalDays, true);
}

TerminsRead ReadTerminDays(ByteStream& in, CalendarGrid& grid, int dayCount)
{
    return ReadParts(in, grid, dayCount, false);
}
