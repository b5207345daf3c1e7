#pragma once

#include "store/Appointment.h"
#include "store/DynaArray.h"
#include "store/TerminRecord.h"

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <unordered_map>

bool IsLeapYear(std::int32_t year);
// Month 1..12, not checked.
int DaysInMonth(std::int32_t year, std::uint8_t month);

// One calendar day of the grid.
struct DayList
{
    TDynaArray* Items = nullptr;    // the day's appointments, in the order they were added; owned by the grid
    Appointment* Current = nullptr; // mirrored cursor of Items
    char Weekday[3] = {0, 0, 0};    // "Mo".."So", filled by the date tree

    Appointment* at(std::int32_t index) const { return static_cast<Appointment*>(Items->itemAt(index)); }
    std::uint32_t count() const { return Items ? Items->count() : 0; }
};

struct MonthRecord
{
    std::array<DayList, 31> Days;
    std::int32_t DayCount = 0;
    std::int32_t FirstDayIndex = 0; // position of day 1 in grid order
};

// Every day from 1 January 2000 to 31 December 2100, reached by year, month and
// day in constant time. Every walk goes year, month, day ascending, then in
// container order.
class CalendarGrid
{
public:
    static constexpr int FirstYear = 2000;
    static constexpr int LastYear = 2100;
    static constexpr int Years = LastYear - FirstYear + 1;
    static constexpr int TotalDays = TerminDays; // the data file keeps a count for each

    CalendarGrid();
    ~CalendarGrid();
    CalendarGrid(const CalendarGrid&) = delete;
    CalendarGrid& operator=(const CalendarGrid&) = delete;

    // Gives every day an empty container; a grid that holds appointments is cleared first.
    void Build();
    // Gives every day that has no container an empty one.
    void BuildMissing();
    bool Built() const { return m_containers == TotalDays; }
    // Frees every appointment's texts and destroys every day's container.
    void delall();
    // Gives one day a fresh empty container, releasing the appointments it had.
    void NewContainer(int year, int month, int day);
    // Gives every day from grid position first up to (not including) end that
    // holds appointments a fresh empty container; the empty days are not touched.
    void EmptyFilledDays(int first, int end = TotalDays);
    // The grid position of the first day from position first on, before end,
    // that holds appointments; end when there is none.
    int NextFilledDay(int first, int end = TotalDays) const;
    // The container of the day at a grid position (0 for 1 January 2000), reached
    // without reading the day's cell first. The day must have a container.
    TDynaArray& ContainerAt(int index)
    {
        return *std::launder(reinterpret_cast<TDynaArray*>(&m_slots[index]));
    }
    // Gives the empty container of the day at a grid position count records
    // that lie in the pool's arena, as its Adopt does; returns how many it took.
    std::uint32_t AdoptAt(int index, void* records, std::uint32_t count)
    {
        const std::uint32_t taken = ContainerAt(index).AdoptRecords(records, count);
        if (taken > 0) {
            // The position is known here; the container would work it out from its address.
            ++m_pool.Filled;
            m_pool.MarkSlot(static_cast<std::size_t>(index), true);
        }
        return taken;
    }
    // How many days hold at least one appointment.
    std::uint32_t FilledDays() const { return m_pool.Filled; }
    // Where a load puts the days' records and texts; released when the grid is
    // cleared or emptied.
    ContainerPool& pool() { return m_pool; }

    static bool Contains(int year, int month, int day);
    DayList& Day(int year, int month, int day) { return m_months[year - FirstYear][month - 1].Days[day - 1]; }
    const DayList& Day(int year, int month, int day) const
    {
        return m_months[year - FirstYear][month - 1].Days[day - 1];
    }
    std::int32_t DayCount(int year, int month) const
    {
        return m_months[year - FirstYear][month - 1].DayCount;
    }

    // Calls f(year, month, day, DayList&) for every day in grid order.
    template <typename F> void ForEachDay(F&& f)
    {
        for (int y = FirstYear; y <= LastYear; ++y)
            for (int m = 1; m <= 12; ++m) {
                MonthRecord& month = m_months[y - FirstYear][m - 1];
                for (int d = 1; d <= month.DayCount; ++d)
                    f(y, m, d, month.Days[d - 1]);
            }
    }
    template <typename F> void ForEachDay(F&& f) const
    {
        for (int y = FirstYear; y <= LastYear; ++y)
            for (int m = 1; m <= 12; ++m) {
                const MonthRecord& month = m_months[y - FirstYear][m - 1];
                for (int d = 1; d <= month.DayCount; ++d)
                    f(y, m, d, month.Days[d - 1]);
            }
    }

    // Adds an appointment with the defaults at the end of the day; nullptr without memory.
    Appointment* NewAppointment(int year, int month, int day);
    // Removes the appointment at index with its texts.
    bool DeleteAppointment(int year, int month, int day, std::int32_t index);
    // Moves the appointment at index to the end of another day with its id and
    // texts; nullptr (nothing moved) without memory.
    Appointment* MoveAppointment(int year, int month, int day, std::int32_t index, int toYear, int toMonth,
                                 int toDay);

    // The identity of the appointment at index (in range), handed out now if it
    // has none. Ids are never handed out twice in a grid's life, so one held
    // across an event loop finds its appointment or nothing, never another.
    std::uint32_t IdOf(int year, int month, int day, std::int32_t index);
    struct Place
    {
        int year = 0;
        int month = 0;
        int day = 0;
        std::int32_t index = -1;
    };
    // The appointment with the id, and where it stands; nullptr when it is gone.
    // A hash probe and a scan of one day.
    Appointment* Find(std::uint32_t id, Place* place = nullptr);

    // Total appointments of a month, a year, everything.
    std::uint32_t MonthCount(int year, int month) const;
    std::uint32_t YearCount(int year) const;

    // The moment of the day at 00:00.
    static dw::TDateTime DateOf(int year, int month, int day);

private:
    // The days' containers live side by side in one block owned by the grid, so
    // building and clearing the grid costs no allocation per day.
    struct alignas(TDynaArray) Slot
    {
        unsigned char bytes[sizeof(TDynaArray)];
    };
    void Construct(MonthRecord& month, int day);
    void Destroy(DayList& day);
    // The month that holds the day at a grid position.
    MonthRecord& MonthAt(int index, int& year, int& month);
    int PositionOf(int year, int month, int day) const
    {
        return m_months[year - FirstYear][month - 1].FirstDayIndex + day - 1;
    }

    std::array<std::array<MonthRecord, 12>, Years> m_months;
    std::unique_ptr<Slot[]> m_slots;
    int m_containers = 0; // days that have a container
    ContainerPool m_pool; // its count of filled days is kept up to date by the containers themselves
    // The grid position of each id handed out; an entry whose appointment went
    // with a reload is dropped when it is next looked for.
    std::unordered_map<std::uint32_t, int> m_dayOfId;
    std::uint32_t m_lastId = 0;
};
