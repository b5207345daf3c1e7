#include "core/AppCore.h"
#include "core/CheckInterval.h"

#include "tests/store/StoreTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(CheckInterval, FollowsMinutesAndSecondsWithinWhatATimerCounts)
{
    const int longest = std::numeric_limits<int>::max();
    const struct
    {
        int minutes, seconds, ms;
    } cases[] = {
        {0, 30, 30000},         {1, 30, 90000},        {0, 0, 0}, {-3, 0, 0}, {-1, 59, 0}, {0, 75, 75000},
        {35791, 0, 2147460000}, {99999999, 0, longest}};
    for (const auto& c : cases)
        EXPECT_EQ(CheckIntervalMs(c.minutes, c.seconds), c.ms) << c.minutes << " min " << c.seconds << " s";

    const struct
    {
        StoredSettings loaded, shown;
    } bounds[] = {
        {{-5, 75, true}, {0, 59, true}}, {{3, -1, false}, {3, 0, false}}, {{7, 59, false}, {7, 59, false}}};
    for (const auto& b : bounds)
        EXPECT_EQ(BoundedSettings(b.loaded), b.shown)
            << b.loaded.CheckMinutes << " " << b.loaded.CheckSeconds;
}

TEST(CheckInterval, TheMachineSleptWhenTheWallClockRanFarAheadOfTheMonotonicOne)
{
    const dw::TDateTime start = dwtest::At(2024, 1, 5, 10, 0);
    const double second = 1.0 / 86400;
    const struct
    {
        double wallSeconds;
        qint64 monotonicMs;
        bool slept;
    } cases[] = {
        {15, 15000, false},    {30, 0, false},     {30.5, 0, true},     {3600, 15000, true},
        {-3600, 15000, false}, {45, 15000, false}, {45.5, 15000, true}, {0, 60000, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SleptBetween({start, 1000}, {start + c.wallSeconds * second, 1000 + c.monotonicMs}),
                  c.slept)
            << c.wallSeconds << " s against " << c.monotonicMs << " ms";
}

// A reminder dialog that only counts, answering "Später nochmal".
struct CountingDialog : IReminderDialog
{
    int ShowReminder(const QString&, const QString&, const QString&) override
    {
        ++shown;
        return 6;
    }
    void CancelReminder() override {}
    int shown = 0;
};

TEST(AppCore, AWakeChecksAtOnceAndTheCheckIntervalCountsFromThen)
{
    const struct
    {
        const char* what;
        bool logind;
        double wallClockAheadMs;
        int checkSeconds, reminded;
    } cases[] = {
        {"logind", true, 0, 2, 1},
        {"an hour on the wall clock", false, 3600000, 2, 1},
        {"ten seconds on the wall clock", false, 10000, 2, 0},
        {"logind, with the check timer silent", true, 0, 0, 0},
    };
    for (const auto& c : cases) {
        dwtest::ScopedFakeClock clock(dwtest::At(2024, 1, 5, 10, 0));
        QTemporaryDir dir;
        AppCore core;
        core.Open(dir.path() + QLatin1Char('/'));
        CountingDialog dialog;
        core.setReminderDialog(&dialog);
        core.setCheckInterval(0, c.checkSeconds);
        QThread::msleep(500);                    // a quarter of the interval has run
        storetest::Add(core.grid(), 2024, 1, 6); // due a day ahead, three days' lead
        clock.clock.advanceMSecs(c.wallClockAheadMs);
        c.logind ? core.Woke() : core.LookForSleep();
        EXPECT_EQ(dialog.shown, c.reminded) << c.what;
        if (c.reminded) {
            EXPECT_GT(core.Timer2()->remainingTime(), 1750) << c.what; // a timer may be 5 % off
        }
        core.Close();
    }
}

// The whole life of the program's core, without a window: load, settings,
// import, save at the end.
TEST(AppCore, LoadsAppliesImportsAndSavesWithoutAScreen)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    {
        std::unique_ptr<CalendarGrid> grid = storetest::NewGrid();
        storetest::Add(*grid, 2024, 1, 5, storetest::Entry().named("Zahnarzt"));
        ASSERT_TRUE(DataFile(DataFilePath(folder)).SaveTermins(*grid, StoredSettings{2, 75, true}));
    }
    AppCore core;
    QSignalSpy loaded(&core, &AppCore::settingsLoaded);
    core.Open(folder);
    EXPECT_EQ(core.settings(), (StoredSettings{2, 59, true}));
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(core.Timer2()->interval(), 179000);
    EXPECT_TRUE(core.Timer1()->enabled()); // loaded values that differ start the save timer
    EXPECT_EQ(core.grid().Day(2024, 1, 5).count(), 1u);

    dw::ical::ImportedCalendar calendar;
    for (const int day : {6, 5}) {
        calendar.appointments.push_back({});
        calendar.appointments.back().date = QDate(2024, 1, day);
        calendar.appointments.back().name = QStringLiteral("Import");
    }
    QSignalSpy added(&core, &AppCore::appointmentsAdded);
    const auto import = [&](const dw::ical::Bounds& bounds) {
        dw::ical::Budget budget(bounds);
        return core.Import(calendar, budget);
    };
    // Past a bound of its budget the import takes back what it added, so no later save keeps half of it.
    EXPECT_FALSE(import({.added = 1}).report.refused.isEmpty());
    EXPECT_EQ(core.grid().Day(2024, 1, 6).count(), 0u);
    EXPECT_EQ(core.grid().Day(2024, 1, 5).count(), 1u);
    EXPECT_EQ(added.count(), 0);
    const AppCore::Imported done = import({});
    EXPECT_EQ(done.report.added, 2);
    EXPECT_TRUE(done.saved);
    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(import({}).report.added, 0); // already there: nothing changes
    EXPECT_EQ(added.count(), 1);

    core.setCheckInterval(0, 10);
    core.Close();
    std::unique_ptr<CalendarGrid> back = storetest::NewGrid();
    const DataFile::LoadResult reread = DataFile(DataFilePath(folder)).OpenTermins(*back);
    EXPECT_EQ(reread.settings, (StoredSettings{0, 10, true}));
    EXPECT_EQ(back->Day(2024, 1, 6).count(), 1u);
}

} // namespace
