#pragma once

// A repeating appointment as one thing with a rule, the way calendars keep
// them (RFC 5545): its start, its rule, extra dates and excluded dates, the
// occurrences changed alone, and the reminder state of each occurrence. The
// standard library only: the light reading program expands series too.

#include "plain/DateValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dw::series {

// The name of the series file beside termine.dat.
inline constexpr const char* SeriesFileName = "datumswecker-serien.ics";

// A moment as a wall clock shows it, in whole seconds since 30 December 1899
// 00:00, in no particular zone. Occurrences are counted and compared in it;
// only what is shown or reminded becomes a date value.
using Wall = std::int64_t;
inline constexpr Wall DaySeconds = 86400;

constexpr std::int64_t DayOf(Wall w)
{
    return w >= 0 ? w / DaySeconds : -((-w + DaySeconds - 1) / DaySeconds);
}
constexpr int SecondOfDay(Wall w)
{
    return static_cast<int>(w - DayOf(w) * DaySeconds);
}
constexpr Wall WallOf(std::int64_t day, int second = 0)
{
    return day * DaySeconds + second;
}
// The time of day as the store keeps it: the same number the edit fields make.
inline double TimeOfDayOf(Wall w)
{
    return SecondOfDay(w) * 1000.0 / MSecsPerDay;
}

// The days the program shows: 1 January 2000 to 31 December 2100. An open
// series runs to the last of them.
inline constexpr std::int64_t FirstDay = 36526;
inline constexpr std::int64_t LastDay = 73415;

enum class Frequency : std::uint8_t
{
    Daily,
    Weekly,
    Monthly,
    Yearly
};

struct Rule
{
    Frequency frequency = Frequency::Weekly;
    int interval = 1;
    // The last start the rule allows, in the series' own time; none: open.
    std::optional<Wall> until;
    std::uint32_t count = 0; // 0: no count
    // A rule with parts the simple form above does not hold (BYDAY=MO,WE,FR,
    // BYSETPOS, ...), as its file wrote it: expanded through libical where the
    // program has it. Empty for a simple rule.
    std::string text;

    bool simple() const { return text.empty(); }
    bool operator==(const Rule&) const = default;
};

// Where the wall times of a series are read.
enum class Zone : std::uint8_t
{
    Floating, // the local time wherever the user is, as appointments are
    Utc,
    Named, // a TZID: the machine's own zone, or one only libical knows
};

// What an occurrence shows and how it is reminded; as the store keeps an
// appointment's: Windows-1252 texts, line breaks CR LF, durations in days.
struct Fields
{
    std::string name;
    std::string description;
    double firstLead = 3.0;
    double repeatInterval = 1.0;

    bool operator==(const Fields&) const = default;
};

// The reminder state of one occurrence, named by its recurrence id.
struct ReminderState
{
    Wall recurrenceId = 0;
    double lastReminded = 0.0;
    bool done = false;

    bool operator==(const ReminderState&) const = default;
};

// One occurrence changed alone: it keeps its recurrence id and may lie elsewhere.
struct Exception
{
    Wall recurrenceId = 0;
    Wall start = 0; // in the series' own time
    Fields fields;

    bool operator==(const Exception&) const = default;
};

// What is worked out from a series once and kept until it changes (see
// Instances.cpp). Kept in the series itself: a pass over a thousand series
// allocates nothing.
struct Derived
{
    bool valid = false;
    bool localZone = false;   // a TZID that names this machine's zone
    std::optional<Wall> last; // of the rule: UNTIL and COUNT
    Wall limit = 0;           // the last start walked: the rule's last, at most the horizon
    std::int64_t step = 0;    // seconds between two starts of a daily or weekly rule
    CivilDate startDate;
    int startSecond = 0;
    std::vector<Wall> expanded; // a rule beyond the simple form
};

struct Series
{
    std::string uid;
    Wall stamp = 0; // UTC, when it was made or last changed (DTSTAMP)
    Wall start = 0; // DTSTART in the series' own time
    bool allDay = false;
    Zone zone = Zone::Floating;
    std::string tzid; // Zone::Named
    std::optional<Rule> rule;
    std::vector<Wall> rdates;  // ascending, in the series' own time
    std::vector<Wall> exdates; // ascending
    Fields fields;
    std::vector<Exception> exceptions; // ascending by recurrence id
    std::vector<ReminderState> states; // ascending by recurrence id, the exceptions' too

    // Kept beside the values, dropped by every change of what the occurrences follow from.
    mutable Derived derived;
    void changed() { derived = {}; }

    bool operator==(const Series& other) const
    {
        return uid == other.uid && stamp == other.stamp && start == other.start && allDay == other.allDay &&
               zone == other.zone && tzid == other.tzid && rule == other.rule && rdates == other.rdates &&
               exdates == other.exdates && fields == other.fields && exceptions == other.exceptions &&
               states == other.states;
    }
};

} // namespace dw::series
