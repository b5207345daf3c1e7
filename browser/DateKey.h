#pragma once

#include <QString>

#include <cstdint>

class CalendarGrid;

// Every node of the date tree carries a key that says which date it stands for:
// year × 416 + month × 32 + day. 416 is 13 × 32, so the day takes the five low
// bits and a year has 13 month slots (0 for "no month"). The root's key is 0.
enum class NodeLevel
{
    Root,
    Year,
    Month,
    Day
};

struct DateKey
{
    int year = 0;
    int month = 0;
    int day = 0;

    NodeLevel level() const
    {
        if (year == 0)
            return NodeLevel::Root;
        if (month == 0)
            return NodeLevel::Year;
        if (day == 0)
            return NodeLevel::Month;
        return NodeLevel::Day;
    }
};

inline constexpr std::uint32_t MakeKey(int year, int month = 0, int day = 0)
{
    return static_cast<std::uint32_t>(year * 416 + month * 32 + day);
}

inline constexpr DateKey DecodeKey(std::uint32_t key)
{
    const int year = static_cast<int>(key / 416);
    return {year, static_cast<int>((key - static_cast<std::uint32_t>(year) * 416) / 32),
            static_cast<int>(key % 32)};
}

// "Januar" .. "Dezember" in German; in English the month's name in the locale
// of dates, as dates follow that locale. month 1..12.
QString MonthName(int month);

// "Mo" .. "So" in German, the locale's short name in English.
QString WeekdayName(int year, int month, int day);

// A day in the tree and the month's list: "15. Fr".
QString DayCaption(int year, int month, int day);

// The list's heading of a day: "Fr 15.März 2024", the locale's long date in English.
QString DayHeading(int year, int month, int day);

// The tables the tree and the list share.
inline constexpr const char* MonthNames[12] = {"Januar",    "Februar", "März",     "April",
                                               "Mai",       "Juni",    "Juli",     "August",
                                               "September", "Oktober", "November", "Dezember"};
inline constexpr const char* WeekdayNames[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

// Writes every day's weekday abbreviation into its DayList. The weekday is
// computed once for the first day and then counted on, so this stays cheap.
void FillWeekdays(CalendarGrid& grid);
