#include "store/TerminFormat.h"

#include "store/TerminRecord.h"

#include <algorithm>
#include <cstring>

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

// A text of the read-ahead into the arena, zero-terminated; nullptr without memory.
char* CopyText(StoreArena& texts, const char* from, std::size_t length, const char* fromEnd)
{
    char* text = NewArenaText(texts, length);
    if (!text)
        return nullptr;
    // Most texts are short: copied in two fixed steps where both sides have
    // room behind them (what lands behind the text in the arena is not handed
    // out yet), which spares a library call for each.
    constexpr std::size_t Step = 16;
    if (length <= 2 * Step && static_cast<std::size_t>(fromEnd - from) >= 2 * Step &&
        texts.room() >= 2 * Step) {
        std::memcpy(text, from, Step);
        std::memcpy(text + Step, from + Step, Step);
    } else {
        std::memcpy(text, from, length);
    }
    text[length] = '\0';
    return text;
}

void CopyFixedFields(Appointment& a, const TerminRecord& record)
{
    a.TimeOfDay = record.timeOfDay;
    a.LastReminded = record.lastReminded;
    a.FirstLead = record.firstLead;
    a.RepeatInterval = record.repeatInterval;
    a.Done = record.done;
    a.Id = 0; // the arena's memory is not zero-filled
}

enum class Taken
{
    Whole,
    NotThere, // not in the read-ahead whole, or a length is negative
    NoMemory,
};

// One record straight from the read-ahead [p, end), advancing p past it. When
// it is not there whole nothing is taken: the stream's own reads then take it,
// with their errors.
Taken TakeRecord(const char*& p, const char* end, StoreArena& texts, Appointment& a)
{
    const char* next = p;
    TerminRecord record;
    if (!DecodeRecord(next, end, record))
        return Taken::NotThere;
    CopyFixedFields(a, record);
    a.Name = CopyText(texts, record.name.data(), record.name.size(), end);
    a.Description =
        a.Name ? CopyText(texts, record.description.data(), record.description.size(), end) : nullptr;
    if (!a.Description)
        return Taken::NoMemory;
    p = next;
    return Taken::Whole;
}

// One record through the stream's reads: what is not in the read-ahead whole.
// Raises as the stream does; false without memory.
bool ReadRecord(ByteStream& in, StoreArena& texts, Appointment& a)
{
    // Fixed fields that cannot be read leave an error pending, raised at the name.
    char fixed[TerminFixedBytes] = {};
    TerminRecord record;
    in.ReadBytes(fixed, sizeof fixed);
    DecodeFixedFields(fixed, record);
    CopyFixedFields(a, record);
    const auto take = [&texts](std::size_t length) { return NewArenaText(texts, length); };
    a.Name = in.ReadStringWith(take);
    a.Description = a.Name ? in.ReadStringWith(take) : nullptr;
    return a.Description != nullptr;
}

// A day of the file with the records read for it so far, side by side in the
// records arena.
struct ReadDay
{
    int index;           // grid position
    std::uint32_t count; // records read whole
    std::uint32_t room;  // records the piece of the arena takes
    Appointment* records;
};

// Reads the days' parts of the file into the grid: records and texts into the
// arenas, and each day, once read, gives its records to its container. A day
// that held appointments before gets a fresh empty container first, in grid
// order with the days read, so the grid never holds the old and the new
// records of a day at once.
class DayReader
{
public:
    DayReader(ByteStream& in, CalendarGrid& grid, int dayCount)
        : m_in(in), m_grid(grid), m_pool(grid.pool()), m_dayCount(dayCount), m_nextOld(grid.NextFilledDay(0))
    {
    }

    // Gives the day being read the records read whole so far, and every day
    // after it that held appointments before a fresh empty container. False
    // when a day could not take its records (reported; the days read after it
    // stay empty).
    bool Finish()
    {
        EndDay();
        m_grid.EmptyFilledDays(m_renewed);
        m_renewed = CalendarGrid::TotalDays;
        return m_stored;
    }

    // Raises as the stream does; false when memory ran out (that was reported).
    // Finish follows in either case.
    bool Read()
    {
        // What lies in the read-ahead whole is parsed there; a count or record
        // cut by its end is parsed again after reading ahead, and one that still
        // is not there whole (larger than the read-ahead, or beyond the end of
        // the file) goes through the stream's reads, which raise as they must.
        bool readAhead = false;
        while (m_index < m_dayCount || m_left > 0) {
            const std::size_t before = m_in.aheadSize();
            const Step step = TakeAhead();
            if (step != Step::Stuck)
                return step == Step::Done;
            if (m_in.aheadSize() < before) {
                readAhead = false;
                continue;
            }
            if (!readAhead && m_in.ReadAhead() > before) {
                readAhead = true;
                continue;
            }
            readAhead = false;
            if (!ReadOne())
                return false;
        }
        return true;
    }

private:
    enum class Step
    {
        Stuck, // at a count or record that is not in the read-ahead whole
        Done,
        NoMemory,
    };

    // Parses the read-ahead up to the first count or record that is not there
    // whole. The state lives in locals here, where the compiler can keep it in
    // registers while texts are copied.
    Step TakeAhead()
    {
        const char* const begin = m_in.ahead();
        const char* p = begin;
        const char* const end = begin + m_in.aheadSize();
        int index = m_index;
        std::uint32_t left = m_left;
        Step step = Step::Stuck;
        for (;;) {
            if (left > 0) {
                // Straight into the day's piece while it has room.
                Appointment spare{};
                Appointment& a = m_day.count < m_day.room ? m_day.records[m_day.count] : spare;
                const Taken taken = TakeRecord(p, end, m_pool.Texts, a);
                if (taken == Taken::NotThere)
                    break;
                if (!Keep(a, taken == Taken::Whole, left)) {
                    step = Step::NoMemory;
                    break;
                }
                continue;
            }
            index = SkipEmptyDays(p, end, index, m_dayCount);
            if (index == m_dayCount) {
                step = Step::Done;
                break;
            }
            if (end - p < 4)
                break;
            const auto count = LoadLE<std::int32_t>(p);
            p += 4;
            if (!OpenDay(index++, count, left)) {
                step = Step::NoMemory;
                break;
            }
        }
        m_in.Took(static_cast<std::size_t>(p - begin));
        m_index = index;
        m_left = left;
        return step;
    }

    // The next count or record through the stream's reads; false without memory.
    bool ReadOne()
    {
        if (m_left == 0) {
            m_index += static_cast<int>(m_in.SkipZeroInt32s(static_cast<std::size_t>(m_dayCount - m_index)));
            if (m_index == m_dayCount)
                return true;
            std::int32_t count = 0;
            m_in.ReadInt32(count);
            return OpenDay(m_index++, count, m_left);
        }
        Appointment a{};
        const bool withTexts = ReadRecord(m_in, m_pool.Texts, a);
        return Keep(a, withTexts, m_left);
    }

    // A record read whole for the current day (perhaps in its place already),
    // of which left are still to come; withTexts false when its texts found no
    // memory. False without memory (reported).
    bool Keep(const Appointment& a, bool withTexts, std::uint32_t& left)
    {
        ReadDay& day = m_day;
        if (!withTexts) {
            m_pool.ReportFailure(1, day.room * sizeof(Appointment));
            return false;
        }
        // More records than the piece takes: a larger piece, only now that one was read whole.
        if (day.count == day.room && !Grow(day, left))
            return false;
        Appointment& place = day.records[day.count++];
        if (&place != &a)
            place = a;
        if (--left == 0)
            EndDay();
        return true;
    }

    // The day at index with count records to come; false without memory.
    bool OpenDay(int index, std::int32_t count, std::uint32_t& left)
    {
        if (count <= 0)
            return true;
        // A count beyond one step is not trusted before its records are read.
        const std::uint32_t room = std::min(static_cast<std::uint32_t>(count), TDynaArray::DefaultBlockSize);
        auto* records = static_cast<Appointment*>(m_pool.Records.Take(room * sizeof(Appointment)));
        if (!records) {
            m_pool.ReportFailure(1, room * sizeof(Appointment));
            return false;
        }
        m_day = {index, 0, room, records};
        left = static_cast<std::uint32_t>(count);
        return true;
    }

    // A larger piece for a day of more records than a step; the smaller one
    // stays unused. False without memory.
    bool Grow(ReadDay& day, std::uint32_t left)
    {
        const std::uint64_t larger =
            std::min<std::uint64_t>(std::uint64_t{day.room} * 2, std::uint64_t{day.count} + left);
        auto* moved = static_cast<Appointment*>(m_pool.Records.Take(larger * sizeof(Appointment)));
        if (!moved || larger > UINT32_MAX / sizeof(Appointment)) {
            m_pool.ReportFailure(2, static_cast<std::uint32_t>(larger * sizeof(Appointment)));
            return false;
        }
        std::memcpy(static_cast<void*>(moved), day.records, day.count * sizeof(Appointment));
        day.records = moved;
        day.room = static_cast<std::uint32_t>(larger);
        return true;
    }

    // The day being read takes the records read whole.
    void EndDay()
    {
        if (m_day.count > 0)
            Store(m_day);
        m_day.count = 0;
    }

    void Store(const ReadDay& day)
    {
        if (m_nextOld <= day.index) {
            m_grid.EmptyFilledDays(m_renewed, day.index + 1);
            m_nextOld = m_grid.NextFilledDay(day.index + 1);
        }
        m_renewed = day.index + 1;
        if (m_stored)
            m_stored = m_grid.AdoptAt(day.index, day.records, day.count) == day.count;
    }

    ByteStream& m_in;
    CalendarGrid& m_grid;
    ContainerPool& m_pool;
    const int m_dayCount;
    ReadDay m_day{};
    int m_renewed = 0; // days before this position hold only what this load gave them
    int m_nextOld;     // the first day from m_renewed on that still holds what it held before
    bool m_stored = true;
    int m_index = 0;          // grid position of the next count
    std::uint32_t m_left = 0; // records of the current day still to read
};

TerminsRead ReadParts(ByteStream& in, CalendarGrid& grid, int dayCount, bool withSettings)
{
    TerminsRead result;
    grid.BuildMissing();
    // What the last load put into the arenas stays there until every day that
    // holds appointments now is renewed; this load's go into new chunks.
    ContainerPool& pool = grid.pool();
    pool.Records.Retire();
    pool.Texts.Retire();
    DayReader reader(in, grid, dayCount);
    bool storeDone = false;
    // Stores what was read whole and lets the last load's memory go.
    const auto store = [&] {
        storeDone = true;
        const bool stored = reader.Finish();
        pool.Records.ReleaseRetired();
        pool.Texts.ReleaseRetired();
        return stored;
    };
    try {
        const bool read = reader.Read();
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
