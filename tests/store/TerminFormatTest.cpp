#include "store/TerminFormat.h"

#include "FailDevice.h"
#include "StoreTestSupport.h"
#include "platform/Ansi.h"
#include "platform/Exceptions.h"
#include "platform/Memory.h"
#include "tests/support/TestSupport.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>

using namespace storetest;

namespace {

QByteArray Int32(std::int32_t v)
{
    QByteArray out(4, '\0');
    qToLittleEndian(v, out.data());
    return out;
}

QByteArray Double(double v)
{
    QByteArray out(8, '\0');
    qToLittleEndian(std::bit_cast<std::uint64_t>(v), out.data());
    return out;
}

QByteArray EntryBytes(const Entry& e)
{
    return Double(e.timeOfDay) + Double(e.lastReminded) + Double(e.firstLead) + Double(e.repeatInterval) +
           QByteArray(1, static_cast<char>(e.done)) + Int32(static_cast<std::int32_t>(e.name.size())) +
           e.name + Int32(static_cast<std::int32_t>(e.description.size())) + e.description;
}

// An empty file whose day at dayIndex is replaced by the given count and entries.
QByteArray FileWith(int dayIndex, std::int32_t count, const QByteArray& entries,
                    const QByteArray& tail = Bytes({1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}))
{
    QByteArray file(CalendarGrid::TotalDays * 4, '\0');
    file.replace(dayIndex * 4, 4, Int32(count) + entries);
    return file + tail;
}

const StoredSettings Initial{};

TEST(TerminFormat, EmptyStore)
{
    auto grid = NewGrid();
    const QByteArray file = Serialize(*grid, Initial);
    ASSERT_EQ(file.size(), 147572);
    EXPECT_EQ(file.size(), EmptyTerminsSize);
    EXPECT_EQ(file.left(CalendarGrid::TotalDays * 4), QByteArray(CalendarGrid::TotalDays * 4, '\0'));
    EXPECT_EQ(file.right(12), Bytes({0, 0, 0, 0, 0x1E, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TerminFormat, OneNewAppointmentOnTheFirstDay)
{
    auto grid = NewGrid();
    ASSERT_NE(grid->NewAppointment(2000, 1, 1), nullptr);
    const QByteArray file = Serialize(*grid, Initial);
    const QByteArray expectedStart =
        Bytes({1, 0, 0, 0, 0, 0,    0,    0, 0, 0, 0xE0, 0x3F, 0, 0,    0,    0, 0, 0, 0, 0, 0,
               0, 0, 0, 0, 0, 0x08, 0x40, 0, 0, 0, 0,    0,    0, 0xF0, 0x3F, 0, 9, 0, 0, 0}) +
        "Kein Name" + Bytes({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(file.left(expectedStart.size()), expectedStart);
    EXPECT_EQ(file.size(), 147622);
}

TEST(TerminFormat, DaysSitAtTheirGridPositions)
{
    struct Case
    {
        int year, month, day;
    };
    // Leap days exist only in leap years; 1 March follows 28 February in 2100.
    EXPECT_EQ(DayIndex(2004, 3, 1), DayIndex(2004, 2, 29) + 1);
    EXPECT_EQ(DayIndex(2100, 3, 1), DayIndex(2100, 2, 28) + 1);
    EXPECT_EQ(DayIndex(2100, 12, 31), CalendarGrid::TotalDays - 1);
    const Case cases[] = {{2000, 1, 2},  {2004, 2, 29}, {2096, 2, 29},
                          {2100, 2, 28}, {2100, 3, 1},  {2100, 12, 31}};
    for (const Case& c : cases) {
        SCOPED_TRACE(DayIndex(c.year, c.month, c.day));
        auto grid = NewGrid();
        Add(*grid, c.year, c.month, c.day, Entry().named("x"));
        const QByteArray file = Serialize(*grid, Initial);
        EXPECT_EQ(file.mid(DayIndex(c.year, c.month, c.day) * 4, 4), Int32(1));
        EXPECT_EQ(file, FileWith(DayIndex(c.year, c.month, c.day), 1, EntryBytes(Entry().named("x")),
                                 Bytes({0, 0, 0, 0, 0x1E, 0, 0, 0, 0, 0, 0, 0})));
    }
}

TEST(TerminFormat, RoundTripKeepsOrderTextsAndSettings)
{
    auto grid = NewGrid();
    Add(*grid, 2024, 12, 24, Entry().named("B").at(0.75));
    Add(*grid, 2024, 12, 24, Entry().named("A").described("Zeile 1\r\nZeile 2\r\n").at(0.25));
    const QByteArray umlauts = dw::ToAnsi(QStringLiteral("äöüß€"));
    Add(*grid, 2060, 7, 1, Entry().named(umlauts).described(umlauts).markedDone(1));
    const StoredSettings settings{-3, 75, true};
    const QByteArray file = Serialize(*grid, settings);
    EXPECT_TRUE(file.contains(Int32(5) + Bytes({0xE4, 0xF6, 0xFC, 0xDF, 0x80})));

    auto loaded = NewGrid();
    Add(*loaded, 2030, 1, 1, Entry().named("replaced by the load"));
    const TerminsRead read = Deserialize(file, *loaded);
    EXPECT_TRUE(read.complete);
    EXPECT_TRUE(read.settingsRead);
    EXPECT_EQ(read.settings, settings);
    ExpectSameGrid(*grid, *loaded);
    EXPECT_EQ(loaded->Day(2030, 1, 1).count(), 0u);
    EXPECT_STREQ(loaded->Day(2024, 12, 24).at(0)->Name, "B");
    EXPECT_STREQ(loaded->Day(2024, 12, 24).at(1)->Description, "Zeile 1\r\nZeile 2\r\n");
    EXPECT_EQ(dw::FromAnsi(loaded->Day(2060, 7, 1).at(0)->Name), QStringLiteral("äöüß€"));
}

TEST(TerminFormat, RandomGridRoundTrip)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto grid = NewGrid();
        FillRandom(*grid, random, 2000);
        const StoredSettings settings{static_cast<std::int32_t>(random() % 100), 59, seed % 2 == 0};
        // The writer leaves the cursors alone. The day holds more than two
        // steps of records, which outgrow their first place while loading.
        DayList& someDay = grid->Day(2050, 5, 5);
        for (int i = 0; i < 250; ++i)
            Add(*grid, 2050, 5, 5);
        someDay.Items->GoTo(0);
        Appointment* const current = someDay.Current;
        const QByteArray file = Serialize(*grid, settings);
        EXPECT_EQ(someDay.Current, current);
        // The read-ahead decides which records are cut at its end.
        for (std::size_t chunk :
             {std::size_t{0}, std::size_t{5}, std::size_t{64}, std::size_t{1000}, ByteStream::DefaultChunk}) {
            auto loaded = NewGrid();
            const TerminsRead read = Deserialize(file, *loaded, chunk);
            EXPECT_TRUE(read.complete);
            EXPECT_EQ(read.settings, settings);
            ExpectSameGrid(*grid, *loaded);
            EXPECT_EQ(Serialize(*loaded, settings), file);
        }
    }
}

TEST(TerminFormat, ReaderTolerances)
{
    struct Case
    {
        const char* name;
        QByteArray file;
        std::uint32_t count; // on 1 January 2000
        std::uint8_t done;
        const char* text;
        bool minimised;
    };
    const QByteArray withZero =
        EntryBytes(Entry().named(QByteArray("ab\0cd", 5)).described(QByteArray("\0x", 2)));
    const Case cases[] = {
        {"count -1", FileWith(0, -1, {}), 0, 0, nullptr, true},
        {"most negative count", FileWith(0, INT32_MIN, {}), 0, 0, nullptr, true},
        {"done byte 7", FileWith(0, 1, EntryBytes(Entry().markedDone(7))), 1, 7, "Kein Name", true},
        {"text up to its first zero", FileWith(0, 1, withZero), 1, 0, "ab", true},
        {"minimised 5", FileWith(0, 0, {}, Bytes({1, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0})), 0, 0, nullptr, true},
        {"minimised 0", FileWith(0, 0, {}, Bytes({1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0})), 0, 0, nullptr,
         false},
        {"bytes after the settings", FileWith(0, 0, {}) + "trailing", 0, 0, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto grid = NewGrid();
        const TerminsRead read = Deserialize(c.file, *grid);
        EXPECT_TRUE(read.complete);
        EXPECT_EQ(read.settings.CheckMinutes, 1);
        EXPECT_EQ(read.settings.CheckSeconds, 2);
        EXPECT_EQ(read.settings.StartMinimised, c.minimised);
        const DayList& day = grid->Day(2000, 1, 1);
        ASSERT_EQ(day.count(), c.count);
        if (c.count) {
            EXPECT_EQ(day.at(0)->Done, c.done);
            EXPECT_STREQ(day.at(0)->Name, c.text);
        }
        EXPECT_EQ(TotalCount(*grid), c.count);
        if (std::strcmp(c.name, "text up to its first zero") == 0) {
            EXPECT_STREQ(day.at(0)->Description, "");
        }
    }
}

TEST(TerminFormat, EarlyEndLeavesAValidGrid)
{
    auto source = NewGrid();
    Add(*source, 2000, 1, 1, Entry().named("first"));
    Add(*source, 2000, 1, 1, Entry().named("second").described("a longer description"));
    Add(*source, 2100, 12, 31, Entry().named("last"));
    const QByteArray file = Serialize(*source, {7, 8, true});
    const QByteArray secondEntry = EntryBytes(Entry().named("second").described("a longer description"));
    const int secondAt = file.indexOf(secondEntry);
    ASSERT_GT(secondAt, 0);
    struct Case
    {
        const char* name;
        qsizetype size;
        std::uint32_t firstDayCount; // records kept on 1 January 2000
        std::uint32_t lastDayCount;  // and on 31 December 2100
    };
    const Case cases[] = {
        {"empty file", 0, 0, 0},
        {"inside the first count", 2, 0, 0},
        {"inside a fixed field", 10, 0, 0},
        {"inside the second record's description", secondAt + secondEntry.size() - 3, 1, 0},
        {"among the day counts", 20000, 2, 0},
        {"inside the last day's record", file.size() - 14, 2, 0},
        {"inside the settings", file.size() - 6, 2, 1},
        {"one byte short", file.size() - 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto grid = NewGrid();
        // What the grid held before is gone, also on the days the load never reached.
        Add(*grid, 2099, 6, 6, Entry().named("before the load"));
        Add(*grid, 2000, 1, 1, Entry().named("before the load"));
        int code = 0;
        std::string message;
        try {
            Deserialize(file.left(c.size), *grid);
        } catch (const dw::EInOutError& e) {
            code = e.ErrorCode;
            message = e.what();
        }
        EXPECT_EQ(code, 100);
        EXPECT_EQ(message, "Read beyond end of file");
        EXPECT_TRUE(EveryDayHasContainer(*grid));
        EXPECT_EQ(grid->Day(2000, 1, 1).count(), c.firstDayCount);
        EXPECT_EQ(grid->Day(2100, 12, 31).count(), c.lastDayCount);
        EXPECT_EQ(grid->Day(2099, 6, 6).count(), 0u);
        // Every record kept is whole: both texts present.
        grid->ForEachDay([](int, int, int, const DayList& day) {
            for (std::uint32_t i = 0; i < day.count(); ++i)
                ASSERT_TRUE(day.at(static_cast<std::int32_t>(i))->Name &&
                            day.at(static_cast<std::int32_t>(i))->Description);
        });
        // The grid takes new appointments afterwards.
        EXPECT_NE(grid->NewAppointment(2050, 1, 1), nullptr);
    }
}

TEST(TerminFormat, HugeCountEndsAtTheEndOfTheFile)
{
    auto grid = NewGrid();
    const QByteArray file = FileWith(0, INT32_MAX, EntryBytes({}) + EntryBytes({}));
    EXPECT_THROW(Deserialize(file, *grid), dw::EInOutError);
    EXPECT_TRUE(EveryDayHasContainer(*grid));
}

TEST(TerminFormat, WriteFailureInTheMiddleIsRaised)
{
    auto grid = NewGrid();
    std::mt19937 random(7);
    FillRandom(*grid, random, 50);
    const qsizetype size = Serialize(*grid, Initial).size();
    for (qint64 limit :
         {qint64{0}, qint64{3}, qint64{4}, qint64{65536}, qint64{size / 2}, qint64{size - 1}}) {
        SCOPED_TRACE(limit);
        FailDevice device(limit);
        ByteStream out(&device);
        try {
            WriteTermins(out, *grid, Initial);
            ADD_FAILURE() << "the short write went unnoticed";
        } catch (const dw::EInOutError& e) {
            EXPECT_EQ(e.ErrorCode, 101);
            EXPECT_STREQ(e.what(), "Disk full");
        }
    }
    FailDevice roomy(size);
    ByteStream out(&roomy);
    EXPECT_NO_THROW(WriteTermins(out, *grid, Initial));
}

std::uint32_t DaysWithAppointments(const CalendarGrid& grid)
{
    std::uint32_t days = 0;
    grid.ForEachDay([&days](int, int, int, const DayList& day) { days += day.count() > 0 ? 1 : 0; });
    return days;
}

// A load replaces whatever the grid held, whether the file uses the same days,
// other days or none, and whatever state the grid's containers were in.
TEST(TerminFormat, LoadReplacesWhatTheGridHeld)
{
    std::mt19937 random(7);
    auto source = NewGrid();
    FillRandom(*source, random, 300);
    Add(*source, 2000, 1, 1, Entry().named("first day"));
    Add(*source, 2100, 12, 31, Entry().named("last day"));
    const QByteArray file = Serialize(*source, {3, 4, false});
    const QByteArray empty = Serialize(*NewGrid(), {3, 4, false});
    struct Case
    {
        const char* name;
        std::function<void(CalendarGrid&)> before;
        const QByteArray* file;
    };
    const Case cases[] = {
        {"new grid", [](CalendarGrid&) {}, &file},
        {"other appointments",
         [&random](CalendarGrid& g) {
             FillRandom(g, random, 300);
             Add(g, 2000, 1, 2);
             Add(g, 2100, 12, 30);
         },
         &file},
        {"the same appointments", [&](CalendarGrid& g) { Deserialize(file, g); }, &file},
        {"appointments, empty file", [&random](CalendarGrid& g) { FillRandom(g, random, 50); }, &empty},
        {"days emptied again",
         [](CalendarGrid& g) {
             Add(g, 2040, 2, 29);
             g.DeleteAppointment(2040, 2, 29, 0);
         },
         &file},
        {"cleared grid without containers", [](CalendarGrid& g) { g.delall(); }, &file},
        {"only one day with a container",
         [](CalendarGrid& g) {
             g.delall();
             g.NewContainer(2050, 6, 15);
         },
         &file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto grid = NewGrid();
        c.before(*grid);
        const TerminsRead read = Deserialize(*c.file, *grid);
        EXPECT_TRUE(read.complete);
        EXPECT_TRUE(EveryDayHasContainer(*grid));
        auto expected = NewGrid();
        Deserialize(*c.file, *expected);
        ExpectSameGrid(*expected, *grid);
        EXPECT_EQ(grid->FilledDays(), DaysWithAppointments(*grid));
        grid->ForEachDay([](int, int, int, const DayList& day) {
            if (day.count() == 0) {
                ASSERT_EQ(day.Current, nullptr);
            }
        });
    }
}

TEST(TerminFormat, OutOfMemoryKeepsTheDaysReadAndEmptiesTheRest)
{
    auto source = NewGrid();
    Add(*source, 2000, 1, 1, Entry().named("a"));
    Add(*source, 2000, 1, 1, Entry().named("b"));
    Add(*source, 2050, 1, 1, Entry().named("c"));
    Add(*source, 2100, 12, 31, Entry().named("d"));
    const QByteArray file = Serialize(*source, {7, 8, true});

    auto grid = NewGrid();
    for (auto [y, m, d] : {std::array{2000, 1, 1}, std::array{2080, 5, 5}, std::array{2100, 12, 31}})
        Add(*grid, y, m, d, Entry().named("before the load"));
    dwtest::ScriptedMessageBoxes boxes;
    int blocks = 0;
    // The first day's block is granted, the second day's refused.
    dw::SetAllocFailureSeam([&blocks](std::size_t) { return ++blocks == 2; });
    const TerminsRead read = Deserialize(file, *grid);
    dw::SetAllocFailureSeam({});
    EXPECT_TRUE(read.outOfMemory);
    EXPECT_FALSE(read.complete);
    EXPECT_FALSE(read.settingsRead);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(EveryDayHasContainer(*grid));
    ASSERT_EQ(grid->Day(2000, 1, 1).count(), 2u);
    EXPECT_STREQ(grid->Day(2000, 1, 1).at(1)->Name, "b");
    EXPECT_EQ(TotalCount(*grid), 2u) << "nothing of the old grid is left";
    EXPECT_EQ(grid->FilledDays(), 1u);
}

} // namespace
