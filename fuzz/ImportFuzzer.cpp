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
//
// The series the import makes are held to the series file: written as the
// program saves them, read back by the program's reader and by the light
// program's streaming one, each gives the same series. The input itself is read
// as a series file too, by both readers, which must agree where both read it.
#include "FuzzBounds.h"
#include "RoundTrip.h"

#include "ical/CalendarImport.h"
#include "ical/IcalEvents.h"
#include "ical/IcalWriter.h"
#include "series/SeriesReader.h"
#include "series/SeriesWriter.h"

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

// Both readers of the series file on the same bytes: where the streaming one
// reads the whole file, it gives what the whole reading gives.
dw::series::ReadOutcome ReadBoth(std::string_view bytes)
{
    dw::series::ReadOutcome whole = dw::series::ReadSeries(bytes);
    std::vector<dw::series::Series> streamed;
    const bool read = dw::series::StreamSeries(bytes, [&](const dw::series::Series& s) {
        streamed.push_back(s);
        return true;
    });
    if (read) {
        Require(whole.complete && streamed.size() == whole.set.size());
        // An event without a UID gets a random one at each reading.
        for (std::size_t i = 0; i < streamed.size(); ++i) {
            dw::series::Series s = whole.set[i];
            s.uid = streamed[i].uid;
            Require(s == streamed[i]);
        }
    }
    return whole;
}

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
    const dw::ical::ReadResult read = dw::ical::ReadCalendar(bytes, budget, dw::ical::Recurring::AsSeries);
    const auto unchanged = [&] {
        Require(dw::ical::AppointmentCount(store) == 1 && store.Day(2024, 3, 5).at(0) == before);
    };
    ReadBoth(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!read.calendar) {
        Require(read.error.line >= 0 && !read.error.text.isEmpty());
        unchanged();
        return 0;
    }
    for (const dw::ical::ImportedAppointment& a : read.calendar->appointments)
        if (CalendarGrid::Contains(a.date.year(), a.date.month(), a.date.day()))
            Filled = {std::min(Filled.first, IndexOf(a.date)), std::max(Filled.end, IndexOf(a.date) + 1)};
    dw::series::SeriesSet series;
    const dw::ical::ImportReport first = dw::ical::ImportInto(store, series, *read.calendar, budget);
    if (!first.refused.isEmpty()) {
        Require(first.added == 0 && series.size() == 0);
        unchanged();
        return 0;
    }
    Require(!first.outOfMemory && first.added <= static_cast<int>(read.calendar->appointments.size()));
    const dw::ical::ImportReport second = dw::ical::ImportInto(store, series, *read.calendar);
    Require(second.added == 0 && second.addedSeries == 0);

    // Saved and read back as the series file, by both readers.
    const std::string file = dw::series::WriteSeriesFile(series);
    const dw::series::ReadOutcome saved = ReadBoth(file);
    Require(saved.complete && saved.set.list() == series.list());

    const QByteArray exported = dw::ical::WriteCalendar(store, series, 45000.5);
    const dw::ical::ReadResult back = dw::ical::ReadCalendar(exported, {}, dw::ical::Recurring::AsSeries);
    Require(back.calendar.has_value());
    EmptyDays(again, AllDays);
    dw::series::SeriesSet seriesAgain;
    dw::ical::ImportInto(again, seriesAgain, *back.calendar);
    RequireSameDays(store, again, Filled);
    Require(dw::ical::AppointmentCount(store) == dw::ical::AppointmentCount(again));
    Require(seriesAgain.list() == series.list());
    return 0;
}
