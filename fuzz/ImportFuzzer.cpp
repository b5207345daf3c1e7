// Feeds arbitrary bytes as a calendar file to the import: the reader --import
// uses, then the import into a store in memory that already holds something.
// Besides crashes, leaks and undefined behaviour it checks that a refused file
// changes nothing, that an accepted one comes back the same through an export
// and an import into an empty store, and that importing it again adds nothing;
// a pass past a bound of its budget adds nothing at all. The bounds keep every
// input within libFuzzer's -timeout and -rss_limit_mb. They are set lower than
// the program's (the code that keeps them is the same), so that an input costs
// milliseconds and the fuzzer reaches the bounds themselves, the time bound
// included, thousands of times.
#include "FuzzBounds.h"
#include "RoundTrip.h"

#include "ical/CalendarImport.h"
#include "ical/IcalEvents.h"
#include "ical/IcalWriter.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

using namespace fuzzing;

namespace {

int IndexOf(const QDate& date)
{
    return static_cast<int>(QDate(CalendarGrid::FirstYear, 1, 1).daysTo(date));
}

// The days an input filled, so the next one empties only those: the whole grid
// would cost more than most calendars.
DayRange Filled{0, 0};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Local time as in the tests, so that a finding reproduces anywhere.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CalendarGrid& store = Grid(0);
    CalendarGrid& again = Grid(1);
    EmptyDays(store, Filled);
    EmptyDays(again, Filled);
    const QDate beforeDay(2024, 3, 5);
    Appointment* before = store.NewAppointment(beforeDay.year(), beforeDay.month(), beforeDay.day());
    Require(before && ReplaceText(before->Name, "Vorher"));
    Filled = {IndexOf(beforeDay), IndexOf(beforeDay) + 1};

    // One budget for the pass, reading and adding, as --import keeps it.
    dw::ical::Budget budget(Smaller({}, 1.0));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    budget.chargeInput(bytes.size());
    const dw::ical::ReadResult read = dw::ical::ReadCalendar(bytes, budget);
    const auto unchanged = [&] {
        Require(dw::ical::AppointmentCount(store) == 1 && store.Day(2024, 3, 5).at(0) == before);
    };
    if (!read.calendar) {
        Require(read.error.line >= 0 && !read.error.text.isEmpty());
        unchanged();
        return 0;
    }
    for (const dw::ical::ImportedAppointment& a : read.calendar->appointments)
        if (CalendarGrid::Contains(a.date.year(), a.date.month(), a.date.day()))
            Filled = {std::min(Filled.first, IndexOf(a.date)), std::max(Filled.end, IndexOf(a.date) + 1)};
    const dw::ical::ImportReport first = dw::ical::ImportInto(store, *read.calendar, budget);
    if (!first.refused.isEmpty()) {
        Require(first.added == 0);
        unchanged();
        return 0;
    }
    Require(!first.outOfMemory && first.added <= static_cast<int>(read.calendar->appointments.size()));
    Require(dw::ical::ImportInto(store, *read.calendar).added == 0);

    const QByteArray exported = dw::ical::WriteCalendar(store, 45000.5);
    const dw::ical::ReadResult back = dw::ical::ReadCalendar(exported);
    Require(back.calendar.has_value());
    EmptyDays(again, AllDays);
    dw::ical::ImportInto(again, *back.calendar);
    RequireSameDays(store, again, Filled);
    Require(dw::ical::AppointmentCount(store) == dw::ical::AppointmentCount(again));
    return 0;
}
