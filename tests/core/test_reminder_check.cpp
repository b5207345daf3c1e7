#include "core/ReminderCheck.h"

#include "platform/MessageBox.h"
#include "series/SeriesEdit.h"
#include "series/SeriesSet.h"
#include "tests/support/TestSupport.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using dwtest::At;

struct Shown
{
    QString heading, name, description;
};

// Answers reminders from a script (yes when it runs out) and records what it was shown.
class FakeDialog : public IReminderDialog
{
public:
    int ShowReminder(const QString& heading, const QString& name, const QString& description) override
    {
        shown.push_back({heading, name, description});
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (whileOpen)
            whileOpen();
        --depth;
        if (answers.empty())
            return dw::mrYes;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void CancelReminder() override {}

    QStringList names() const
    {
        QStringList result;
        for (const Shown& s : shown)
            result << s.name;
        return result;
    }

    std::deque<int> answers;
    std::vector<Shown> shown;
    std::function<void()> whileOpen;
    int depth = 0;
    int maxDepth = 0;
};

class ReminderCheckTest : public ::testing::Test
{
protected:
    ReminderCheckTest()
        : grid(std::make_unique<CalendarGrid>()), clock(At(2030, 12, 20, 12, 0)), check(*grid, &dialog)
    {
        grid->Build();
    }

    // An appointment at hour:minute of the day, with a first lead and repeat in days.
    Appointment* Add(int y, int m, int d, int hour, int minute, const char* name, double firstLead = 3.0,
                     double repeat = 1.0)
    {
        Appointment* a = grid->NewAppointment(y, m, d);
        EXPECT_TRUE(ReplaceText(a->Name, name));
        a->TimeOfDay = dw::EncodeTime(hour, minute);
        a->FirstLead = firstLead;
        a->RepeatInterval = repeat;
        return a;
    }
    Appointment& Item(int y, int m, int d, int index) { return *grid->Day(y, m, d).at(index); }
    dw::TDateTime Now() const { return clock.clock.now(); }

    std::unique_ptr<CalendarGrid> grid;
    dwtest::ScopedFakeClock clock;
    dwtest::GermanFormats formats;
    FakeDialog dialog;
    ReminderCheck check;
};

TEST_F(ReminderCheckTest, LaterThenCancelStampsOnlyTheFirst)
{
    Add(2030, 12, 22, 18, 0, "eins");
    Add(2030, 12, 23, 10, 0, "zwei");
    Add(2030, 12, 23, 11, 0, "drei");
    const dw::TDateTime n = Now();
    dialog.answers = {dw::mrYes, dw::mrCancel};

    check.CheckTermins();

    EXPECT_EQ(dialog.names(), (QStringList{"eins", "zwei"}));
    EXPECT_FALSE(check.Checking());
    EXPECT_EQ(Item(2030, 12, 22, 0).LastReminded, n);
    EXPECT_EQ(Item(2030, 12, 23, 0).LastReminded, 0.0);
    EXPECT_EQ(Item(2030, 12, 23, 1).LastReminded, 0.0);
    EXPECT_EQ(Item(2030, 12, 23, 0).Done, 0);

    // The second and third come again at once; the first only after its repeat interval.
    dialog.shown.clear();
    clock.clock.advanceMSecs(1000);
    dialog.answers = {dw::mrCancel};
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), (QStringList{"zwei"}));

    dialog.shown.clear();
    clock.clock.set(n + 1.0);
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), (QStringList{"eins", "zwei", "drei"}));
}

TEST_F(ReminderCheckTest, IgnoreSetsDoneAndStampsTheReminder)
{
    Add(2030, 12, 21, 10, 0, "eins", 3.0, 0.0);
    dialog.answers = {dw::mrIgnore};
    check.CheckTermins();
    EXPECT_EQ(Item(2030, 12, 21, 0).Done, 1);
    EXPECT_EQ(Item(2030, 12, 21, 0).LastReminded, Now());

    dialog.shown.clear();
    clock.clock.advanceMSecs(60000);
    check.CheckTermins();
    EXPECT_TRUE(dialog.shown.empty());
}

TEST_F(ReminderCheckTest, AnyOtherResultCountsAsLater)
{
    Add(2030, 12, 21, 10, 0, "eins");
    dialog.answers = {dw::mrNone};
    check.CheckTermins();
    EXPECT_EQ(Item(2030, 12, 21, 0).LastReminded, Now());
    EXPECT_EQ(Item(2030, 12, 21, 0).Done, 0);
}

TEST_F(ReminderCheckTest, WalksDaysInOrderAndEachDayInListOrder)
{
    Add(2031, 1, 1, 8, 0, "Neujahr", 30.0);
    Add(2030, 12, 22, 18, 0, "spaet");
    Add(2030, 12, 22, 8, 0, "frueh");
    Add(2030, 12, 21, 23, 0, "vortag");
    Add(2030, 12, 22, 12, 0, "mittag");
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), (QStringList{"vortag", "spaet", "frueh", "mittag", "Neujahr"}));
}

TEST_F(ReminderCheckTest, OnlyDueAppointmentsAreShown)
{
    Add(2030, 12, 20, 11, 59, "vorbei"); // earlier today
    Add(2030, 12, 20, 12, 0, "jetzt", 0.0);
    Add(2030, 12, 24, 12, 1, "zu frueh"); // window opens a minute after now
    Add(2030, 12, 23, 12, 0, "offen")->Done = 1;
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), (QStringList{"jetzt"}));
}

struct HeadingCase
{
    int y, m, d, hour, minute;
    const char* heading;
};

class ReminderHeadingTest : public ReminderCheckTest, public ::testing::WithParamInterface<HeadingCase>
{
};

// The walk counts the dates of the days itself; each end of the grid and a leap day
// show that it keeps in step with the calendar.
TEST_P(ReminderHeadingTest, ShowsDateAndTimeOfTheAppointment)
{
    const HeadingCase& c = GetParam();
    const dw::TDateTime moment = At(c.y, c.m, c.d, c.hour, c.minute);
    clock.clock.set(moment - 0.5);
    Add(c.y, c.m, c.d, c.hour, c.minute, "Termin");
    check.CheckTermins();
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].heading, QString::fromUtf8(c.heading));
}

INSTANTIATE_TEST_SUITE_P(Dates, ReminderHeadingTest,
                         ::testing::Values(HeadingCase{2030, 12, 24, 18, 30, "Am 24.12.2030 um 18:30:00 Uhr"},
                                           HeadingCase{2000, 1, 1, 0, 0, "Am 01.01.2000 um 00:00:00 Uhr"},
                                           HeadingCase{2096, 2, 29, 9, 5, "Am 29.02.2096 um 09:05:00 Uhr"},
                                           HeadingCase{2100, 3, 1, 7, 0, "Am 01.03.2100 um 07:00:00 Uhr"},
                                           HeadingCase{2100, 12, 31, 23, 59,
                                                       "Am 31.12.2100 um 23:59:00 Uhr"}),
                         [](const ::testing::TestParamInfo<HeadingCase>& info) {
                             const HeadingCase& c = info.param;
                             return std::to_string(c.y) + "_" + std::to_string(c.m) + "_" +
                                    std::to_string(c.d);
                         });

TEST_F(ReminderCheckTest, ShowsNameAndDescriptionDecoded)
{
    Appointment* a = Add(2030, 12, 21, 10, 0, "Geb\xE4udereinigung \x80");
    ASSERT_TRUE(ReplaceText(a->Description, "Zeile 1\r\nZeile 2"));
    check.CheckTermins();
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].name, QString::fromUtf8("Gebäudereinigung €"));
    EXPECT_EQ(dialog.shown[0].description, QStringLiteral("Zeile 1\r\nZeile 2"));
}

TEST_F(ReminderCheckTest, ReentrantCallDuringTheDialogReturnsAtOnce)
{
    Add(2030, 12, 21, 10, 0, "eins");
    Add(2030, 12, 22, 10, 0, "zwei");
    bool checkingDuringDialog = false;
    dialog.whileOpen = [&] {
        checkingDuringDialog = check.Checking();
        check.CheckTermins(); // a tick of the check timer
    };
    check.CheckTermins();
    EXPECT_TRUE(checkingDuringDialog);
    EXPECT_EQ(dialog.maxDepth, 1);
    EXPECT_EQ(dialog.names(), (QStringList{"eins", "zwei"}));
    EXPECT_FALSE(check.Checking());
}

TEST_F(ReminderCheckTest, TwoQuickPressesNeverNest)
{
    Add(2030, 12, 21, 10, 0, "eins", 3.0, 0.0);
    int passes = 0;
    auto press = [&] {
        ++passes;
        check.CheckTermins();
    };
    // Like the dialog's modal loop, which goes on dispatching the user's clicks.
    dialog.whileOpen = [] {
        QEventLoop loop;
        QTimer::singleShot(40, &loop, &QEventLoop::quit);
        loop.exec();
    };
    QTimer::singleShot(0, press);
    QTimer::singleShot(10, press);
    // However late the timers come, the second press comes while the first
    // pass's dialog is open (its timer is due before the dialog's end).
    EXPECT_TRUE(QTest::qWaitFor([&] { return passes == 2 && !check.Checking(); }, 30000));
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(dialog.maxDepth, 1);
    EXPECT_EQ(dialog.shown.size(), 1u);

    // Once the first pass is over, a press runs a pass of its own.
    press();
    EXPECT_EQ(dialog.shown.size(), 2u);
}

TEST_F(ReminderCheckTest, CursorOnTheShownAppointmentAndAfterwardsOnTheLastVisited)
{
    Add(2030, 12, 21, 10, 0, "a", 0.0);
    Add(2030, 12, 21, 11, 0, "b");
    Add(2030, 12, 21, 12, 0, "c", 0.0);
    Add(2030, 12, 22, 12, 0, "d");
    Add(2030, 12, 22, 13, 0, "e");
    const Appointment* currentWhileShown = nullptr;
    dialog.whileOpen = [&] {
        if (!currentWhileShown)
            currentWhileShown = grid->Day(2030, 12, 21).Current;
    };
    dialog.answers = {dw::mrYes, dw::mrCancel};
    check.CheckTermins();
    EXPECT_EQ(currentWhileShown, &Item(2030, 12, 21, 1));
    EXPECT_EQ(grid->Day(2030, 12, 21).Current, &Item(2030, 12, 21, 2));
    EXPECT_EQ(grid->Day(2030, 12, 22).Current, &Item(2030, 12, 22, 0)) << "left on the cancelled one";
}

TEST_F(ReminderCheckTest, SaveWalkingTheCursorsDuringTheDialogDoesNotDisturbThePass)
{
    Add(2030, 12, 21, 10, 0, "a", 3.0, 0.0);
    Add(2030, 12, 21, 11, 0, "b", 0.0); // not due: holds its own values
    Add(2030, 12, 21, 12, 0, "c", 3.0, 0.0);
    Add(2030, 12, 22, 12, 0, "d", 3.0, 0.0);
    dialog.answers = {dw::mrIgnore, dw::mrYes, dw::mrIgnore};
    dialog.whileOpen = [&] {
        grid->ForEachDay([](int, int, int, DayList& day) {
            if (!day.Items)
                return;
            day.Items->First();
            while (day.Items->Next())
                (void)day.Current->LastReminded;
        });
    };
    check.CheckTermins();
    const dw::TDateTime n = Now();
    EXPECT_EQ(dialog.names(), (QStringList{"a", "c", "d"}));
    EXPECT_EQ(Item(2030, 12, 21, 0).Done, 1);
    EXPECT_EQ(Item(2030, 12, 21, 0).LastReminded, n);
    EXPECT_EQ(Item(2030, 12, 21, 1).Done, 0);
    EXPECT_EQ(Item(2030, 12, 21, 1).LastReminded, 0.0);
    EXPECT_EQ(Item(2030, 12, 21, 2).Done, 0);
    EXPECT_EQ(Item(2030, 12, 21, 2).LastReminded, n);
    EXPECT_EQ(Item(2030, 12, 22, 0).Done, 1);
}

TEST_F(ReminderCheckTest, ShrinkingDayDuringTheDialogIsNotReadPastItsEnd)
{
    for (const char* name : {"a", "b", "c"})
        Add(2030, 12, 21, 10, 0, name);
    Add(2030, 12, 22, 10, 0, "d");
    bool deleted = false;
    dialog.whileOpen = [&] {
        if (deleted)
            return;
        deleted = true;
        ASSERT_TRUE(grid->DeleteAppointment(2030, 12, 21, 2));
        ASSERT_TRUE(grid->DeleteAppointment(2030, 12, 21, 1));
        ASSERT_TRUE(grid->DeleteAppointment(2030, 12, 21, 0));
    };
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), (QStringList{"a", "d"}));
    EXPECT_EQ(grid->Day(2030, 12, 21).count(), 0u);
    EXPECT_EQ(Item(2030, 12, 22, 0).LastReminded, Now());
}

TEST_F(ReminderCheckTest, FailureInsideThePassStillEndsIt)
{
    Add(2030, 12, 21, 10, 0, "eins");
    dialog.whileOpen = [] { throw std::runtime_error("kaputt"); };
    EXPECT_THROW(check.CheckTermins(), std::runtime_error);
    EXPECT_FALSE(check.Checking());
    EXPECT_EQ(Item(2030, 12, 21, 0).LastReminded, 0.0);

    dialog.whileOpen = nullptr;
    check.CheckTermins();
    EXPECT_EQ(Item(2030, 12, 21, 0).LastReminded, Now());
}

TEST_F(ReminderCheckTest, WithoutDialogNothingChanges)
{
    Add(2030, 12, 21, 10, 0, "eins");
    ReminderCheck alone(*grid);
    alone.CheckTermins();
    EXPECT_FALSE(alone.Checking());
    EXPECT_EQ(Item(2030, 12, 21, 0).LastReminded, 0.0);
}

// The walk may end early once it has seen every day that holds appointments;
// these make sure no such day is missed, however few and far apart they are.
TEST_F(ReminderCheckTest, ReachesEveryUsedDayUpToTheLastOfTheGrid)
{
    struct Day
    {
        int y, m, d;
    };
    const std::vector<std::vector<Day>> cases = {
        {{2100, 12, 31}},
        {{2030, 12, 21}, {2100, 12, 31}},
        {{2030, 12, 20}, {2031, 1, 1}, {2064, 2, 29}, {2100, 2, 28}, {2100, 12, 31}},
    };
    for (const auto& days : cases) {
        grid->Build();
        dialog.shown.clear();
        QStringList expected;
        for (const Day& day : days) {
            const QString name = QStringLiteral("%1-%2-%3").arg(day.y).arg(day.m).arg(day.d);
            Add(day.y, day.m, day.d, 23, 0, name.toLatin1().constData(), 30000.0);
            expected << name;
        }
        SCOPED_TRACE(expected.join(' ').toStdString());
        check.CheckTermins();
        EXPECT_EQ(dialog.names(), expected);
        for (const Day& day : days)
            EXPECT_EQ(Item(day.y, day.m, day.d, 0).LastReminded, Now());
    }
}

TEST_F(ReminderCheckTest, AppointmentAddedToALaterDayDuringTheDialogIsReached)
{
    Add(2030, 12, 21, 10, 0, "a");
    dialog.whileOpen = [&] {
        if (dialog.shown.size() == 1)
            Add(2031, 1, 5, 10, 0, "added", 30.0);
    };
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), (QStringList{"a", "added"}));
}

TEST_F(ReminderCheckTest, EmptyGridPassShowsNothing)
{
    check.CheckTermins();
    EXPECT_TRUE(dialog.shown.empty());
    EXPECT_FALSE(check.Checking());
    Add(2030, 12, 21, 10, 0, "a");
    check.CheckTermins();
    EXPECT_EQ(dialog.names(), QStringList{"a"});
}

} // namespace

// A series' due occurrences come after the grid's appointments, by their
// moments, each answered into its own reminder state; "Alle abbrechen" ends
// the pass there, and a series deleted while its dialog was open is passed by.
TEST_F(ReminderCheckTest, SeriesOccurrencesComeAfterTheGridEachWithItsOwnAnswer)
{
    Add(2030, 12, 22, 9, 0, "Einzeln");
    dw::series::SeriesSet series;
    dw::series::Fields fields;
    fields.name = "Chor";
    fields.firstLead = 8.0;
    dw::series::Rule daily;
    daily.frequency = dw::series::Frequency::Daily;
    // Daily at 10:00 from 21 December: eight occurrences within the lead.
    series.list().push_back(dw::series::NewSeries(static_cast<std::int64_t>(dw::EncodeDate(2030, 12, 21)),
                                                  36000, fields, daily, 0));
    int changes = 0;
    check.setSeries(&series, [&] { ++changes; });
    const auto state = [&](int day) {
        return dw::series::FindState(
            series[0], dw::series::WallOf(static_cast<std::int64_t>(dw::EncodeDate(2030, 12, day)), 36000));
    };
    dialog.answers = {dw::mrYes, dw::mrYes, dw::mrIgnore, dw::mrCancel};
    check.CheckTermins();
    ASSERT_EQ(dialog.names(), (QStringList{"Einzeln", "Chor", "Chor", "Chor"}));
    EXPECT_EQ(dialog.shown[1].heading, QStringLiteral("Am 21.12.2030 um 10:00:00 Uhr"));
    EXPECT_EQ(changes, 2);
    ASSERT_TRUE(state(21) && state(22));
    EXPECT_EQ(*state(21),
              (dw::series::ReminderState{state(21)->recurrenceId, At(2030, 12, 20, 12, 0), false}));
    EXPECT_TRUE(state(22)->done);
    EXPECT_EQ(state(23), nullptr) << "cancelled: unchanged";

    // The next pass a day later: the answered ones wait for their repeat, the done one for ever.
    clock.clock.set(At(2030, 12, 21, 12, 0, 0, 1));
    dialog.shown.clear();
    dialog.whileOpen = [&] { series.list().clear(); };
    check.CheckTermins();
    EXPECT_EQ(dialog.shown.size(), 1u) << "the series went while its first dialog was open";
}
