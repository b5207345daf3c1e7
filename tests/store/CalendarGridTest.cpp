#include "store/CalendarGrid.h"

#include "StoreTestSupport.h"
#include "platform/DateTime.h"
#include "platform/Memory.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>

using storetest::Add;
using storetest::Entry;
using storetest::NewGrid;

namespace {

TEST(CalendarGrid, DaysInMonth)
{
    struct Case
    {
        int year;
        int month;
        int days;
    };
    const Case cases[] = {
        {2000, 2, 29}, {2001, 2, 28}, {2004, 2, 29}, {2096, 2, 29}, {2100, 2, 28}, {2024, 1, 31},
        {2024, 4, 30}, {2024, 6, 30}, {2024, 7, 31}, {2024, 8, 31}, {2024, 9, 30}, {2024, 12, 31},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DaysInMonth(c.year, static_cast<std::uint8_t>(c.month)), c.days)
            << c.year << "-" << c.month;
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2400));
}

TEST(CalendarGrid, WalkVisitsEveryDayOnceInCalendarOrder)
{
    auto grid = NewGrid();
    int days = 0;
    dw::TDateTime previous = 0;
    bool ordered = true;
    bool allHaveContainers = true;
    grid->ForEachDay([&](int y, int m, int d, DayList& day) {
        const dw::TDateTime date = CalendarGrid::DateOf(y, m, d);
        // Consecutive calendar days: no day skipped, none that does not exist.
        ordered = ordered && (days == 0 ? date == dw::DateDelta2000 : date == previous + 1);
        allHaveContainers = allHaveContainers && day.Items && day.Current == nullptr;
        previous = date;
        ++days;
    });
    EXPECT_EQ(days, CalendarGrid::TotalDays);
    EXPECT_EQ(days, 36890);
    EXPECT_TRUE(ordered);
    EXPECT_TRUE(allHaveContainers);
    EXPECT_EQ(previous, dw::EncodeDate(2100, 12, 31));
    // Cells beyond a month's end never get a container.
    EXPECT_EQ(grid->Day(2001, 2, 29).Items, nullptr);
    EXPECT_EQ(grid->Day(2100, 2, 29).Items, nullptr);
    EXPECT_EQ(grid->Day(2024, 4, 31).Items, nullptr);
    EXPECT_NE(grid->Day(2004, 2, 29).Items, nullptr);
    EXPECT_TRUE(CalendarGrid::Contains(2004, 2, 29));
    EXPECT_FALSE(CalendarGrid::Contains(2100, 2, 29));
    EXPECT_FALSE(CalendarGrid::Contains(1999, 12, 31));
    EXPECT_FALSE(CalendarGrid::Contains(2101, 1, 1));
}

TEST(CalendarGrid, NewAppointmentHasTheDefaultsAndComesLast)
{
    auto grid = NewGrid();
    Add(*grid, 2024, 3, 5, Entry().named("B").at(0.9));
    Appointment* a = grid->NewAppointment(2024, 3, 5);
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->Name, "Kein Name");
    EXPECT_STREQ(a->Description, "");
    EXPECT_EQ(a->TimeOfDay, 0.5);
    EXPECT_EQ(a->FirstLead, 3.0);
    EXPECT_EQ(a->RepeatInterval, 1.0);
    EXPECT_EQ(a->LastReminded, 0.0);
    EXPECT_EQ(a->Done, 0);
    const DayList& day = grid->Day(2024, 3, 5);
    EXPECT_EQ(day.Current, a);
    ASSERT_EQ(day.count(), 2u);
    EXPECT_STREQ(day.at(0)->Name, "B") << "the earlier time is not sorted first";
    EXPECT_EQ(day.at(1), a);
    EXPECT_EQ(grid->MonthCount(2024, 3), 2u);
    EXPECT_EQ(grid->YearCount(2024), 2u);
    EXPECT_EQ(grid->YearCount(2023), 0u);
}

TEST(CalendarGrid, NewAppointmentWithoutMemoryStoresNothing)
{
    auto grid = NewGrid();
    dwtest::ScriptedMessageBoxes boxes;
    dw::SetAllocFailureSeam([](std::size_t) { return true; });
    EXPECT_EQ(grid->NewAppointment(2024, 3, 5), nullptr);
    dw::SetAllocFailureSeam({});
    EXPECT_EQ(grid->Day(2024, 3, 5).count(), 0u);
    EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST(CalendarGrid, MomentsAtTheEdgesOfTheGrid)
{
    EXPECT_EQ(CalendarGrid::DateOf(2000, 1, 1) + 0.0, 36526.0);
    EXPECT_EQ(CalendarGrid::DateOf(2100, 12, 31) + 1439.0 / 1440, 73415 + 1439.0 / 1440);
    EXPECT_EQ(CalendarGrid::DateOf(2024, 3, 5) + (14 * 60 + 30) / 1440.0, 45356 + 870.0 / 1440);
}

TEST(CalendarGrid, DeleteAppointmentKeepsTheOthersInOrder)
{
    auto grid = NewGrid();
    for (const char* name : {"A", "B", "C"})
        Add(*grid, 2030, 1, 1, Entry().named(name));
    EXPECT_FALSE(grid->DeleteAppointment(2030, 1, 1, 3));
    EXPECT_FALSE(grid->DeleteAppointment(2030, 1, 1, -1));
    ASSERT_TRUE(grid->DeleteAppointment(2030, 1, 1, 1));
    const DayList& day = grid->Day(2030, 1, 1);
    ASSERT_EQ(day.count(), 2u);
    EXPECT_STREQ(day.at(0)->Name, "A");
    EXPECT_STREQ(day.at(1)->Name, "C");
    EXPECT_EQ(day.Current, nullptr);
}

// An id finds its appointment wherever deletions, additions and moves put it,
// and never another one: not after it was deleted, nor after a load replaced it.
TEST(CalendarGrid, AnIdFindsItsAppointmentOrNothing)
{
    auto grid = NewGrid();
    for (const char* name : {"A", "B", "C"})
        Add(*grid, 2030, 1, 1, Entry().named(name));
    EXPECT_EQ(grid->Day(2030, 1, 1).at(2)->Id, 0u); // handed out only when asked for
    const std::uint32_t a = grid->IdOf(2030, 1, 1, 0);
    const std::uint32_t c = grid->IdOf(2030, 1, 1, 2);
    EXPECT_EQ(grid->IdOf(2030, 1, 1, 2), c);
    EXPECT_NE(a, c);
    ASSERT_TRUE(grid->DeleteAppointment(2030, 1, 1, 0));
    Add(*grid, 2030, 1, 1, Entry().named("D"));
    CalendarGrid::Place at;
    ASSERT_NE(grid->Find(c, &at), nullptr);
    EXPECT_STREQ(grid->Find(c)->Name, "C");
    EXPECT_EQ(at.index, 1);
    EXPECT_EQ(grid->Find(a), nullptr);
    ASSERT_NE(grid->MoveAppointment(2030, 1, 1, 1, 2031, 2, 3), nullptr);
    ASSERT_NE(grid->Find(c, &at), nullptr);
    EXPECT_EQ(std::tie(at.year, at.month, at.day, at.index), std::make_tuple(2031, 2, 3, 0));
    EXPECT_EQ(grid->Day(2030, 1, 1).count(), 2u);
    EXPECT_STREQ(grid->Find(c)->Name, "C");

    const QByteArray bytes = storetest::Serialize(*grid, {});
    storetest::Deserialize(bytes, *grid);
    EXPECT_EQ(grid->Find(c), nullptr);
    EXPECT_EQ(grid->Day(2031, 2, 3).at(0)->Id, 0u);
    EXPECT_NE(grid->IdOf(2031, 2, 3, 0), c);
}

TEST(CalendarGrid, EditingTheTimeDoesNotReorder)
{
    auto grid = NewGrid();
    Add(*grid, 2030, 1, 1, Entry().named("first").at(0.25));
    Add(*grid, 2030, 1, 1, Entry().named("second").at(0.75));
    grid->Day(2030, 1, 1).at(1)->TimeOfDay = 0.0;
    EXPECT_STREQ(grid->Day(2030, 1, 1).at(0)->Name, "first");
}

// The texts are checked for leaks by the sanitizer build; here, that delall
// leaves no container and that the grid can be built and filled again.
TEST(CalendarGrid, DelallReleasesEverythingAndBuildStartsAgain)
{
    auto grid = NewGrid();
    for (int i = 0; i < 150; ++i)
        Add(*grid, 2050, 6, 15, Entry().named("x").described("line 1\r\nline 2"));
    Add(*grid, 2100, 12, 31);
    grid->delall();
    bool none = true;
    grid->ForEachDay(
        [&none](int, int, int, const DayList& day) { none = none && !day.Items && !day.Current; });
    EXPECT_TRUE(none);
    grid->Build();
    EXPECT_TRUE(storetest::EveryDayHasContainer(*grid));
    EXPECT_EQ(storetest::TotalCount(*grid), 0u);
    Add(*grid, 2000, 1, 1);
    // Building a grid that holds appointments clears it first.
    grid->Build();
    EXPECT_EQ(storetest::TotalCount(*grid), 0u);
}

TEST(CalendarGrid, FilledDaysFollowsEveryChange)
{
    auto grid = NewGrid();
    struct Step
    {
        const char* what;
        std::function<void()> act;
        std::uint32_t filled;
    };
    const Step steps[] = {
        {"built", [] {}, 0},
        {"one appointment", [&] { Add(*grid, 2030, 1, 1); }, 1},
        {"a second on the same day", [&] { Add(*grid, 2030, 1, 1); }, 1},
        {"the last day of the grid", [&] { Add(*grid, 2100, 12, 31); }, 2},
        {"delete one of two", [&] { grid->DeleteAppointment(2030, 1, 1, 0); }, 2},
        {"delete the day's last", [&] { grid->DeleteAppointment(2030, 1, 1, 0); }, 1},
        {"new container for a used day", [&] { grid->NewContainer(2100, 12, 31); }, 0},
        {"refill", [&] { Add(*grid, 2000, 1, 1); }, 1},
        {"delall", [&] { grid->delall(); }, 0},
        {"build again", [&] { grid->Build(); }, 0},
        {"build over appointments",
         [&] {
             Add(*grid, 2050, 6, 15);
             grid->Build();
         },
         0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(grid->FilledDays(), step.filled);
    }
}

} // namespace
