// The real program under Xvfb with dunst as the notification server on a
// private session bus: each reminder is a dialog and a notification, and an
// answer in either place answers both.
#include "XSession.h"

#include "TestSupport.h"
#include "platform/DateTime.h"
#include "store/DataFile.h"

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

class ProgramWithNotifications : public RealProgramTest
{
protected:
    static void SetUpTestSuite()
    {
        RealProgramTest::SetUpTestSuite();
        Need("dunst did not come up",
             [](XSession& x) { return x.startNotificationServer(QStringLiteral("Nicht mehr erinnern")); });
    }
    static bool Counts(const QString& displayed, const QString& history)
    {
        return PollUntil(
            [&] {
                return x().dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}).trimmed() ==
                           displayed &&
                       x().dunstctl({QStringLiteral("count"), QStringLiteral("history")}).trimmed() ==
                           history;
            },
            XSession::WaitMs);
    }
};

TEST_F(ProgramWithNotifications, EachReminderIsMirroredAndAnsweredFromEitherPlace)
{
    ProgramRun run(x());
    run.setNow(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    {
        CalendarGrid grid;
        grid.Build();
        for (const auto& [hour, name] :
             {std::pair{10, "Besprechung"}, std::pair{11, "Zahnarzt"}, std::pair{12, "Essen"}}) {
            Appointment* a = grid.NewAppointment(2024, 3, 15);
            ASSERT_NE(a, nullptr);
            a->TimeOfDay = dw::EncodeTime(hour, 0);
            ASSERT_TRUE(ReplaceText(a->Name, QByteArray(name)));
        }
        ASSERT_TRUE(DataFile(run.dataFile()).SaveTermins(grid, StoredSettings{}));
    }
    ASSERT_TRUE(run.start());
    const qulonglong reminder = x().waitForWindow(QStringLiteral("Terminerinnerung"));
    ASSERT_NE(reminder, 0u) << run.output().toStdString();
    ASSERT_TRUE(Counts(QStringLiteral("1"), QStringLiteral("0")));
    EXPECT_TRUE(x().screenshot(ScreenshotPath(QStringLiteral("notification.png"))));

    // "Später nochmal" in the dialog withdraws the first; the second comes with its own.
    ASSERT_TRUE(x().waitForActiveWindow(reminder));
    x().key(QStringLiteral("Return"));
    ASSERT_TRUE(Counts(QStringLiteral("1"), QStringLiteral("1")));
    EXPECT_TRUE(x().dunstctl({QStringLiteral("history")}).contains(QStringLiteral("Besprechung")));

    // "Nicht mehr erinnern" in the notification's menu answers the dialog, and the third comes.
    x().dunstctl({QStringLiteral("context")});
    ASSERT_TRUE(Counts(QStringLiteral("1"), QStringLiteral("2")));
    // The end of the program withdraws the last.
    EXPECT_EQ(run.terminate(SIGTERM), 0);
    EXPECT_TRUE(Counts(QStringLiteral("0"), QStringLiteral("3")));

    CalendarGrid saved;
    saved.Build();
    ScriptedMessageBoxes quiet;
    DataFile(run.dataFile()).OpenTermins(saved);
    const DayList& day = saved.Day(2024, 3, 15);
    ASSERT_EQ(day.count(), 3u);
    EXPECT_GT(day.at(0)->LastReminded, 0.0);
    EXPECT_EQ(day.at(0)->Done, 0);
    EXPECT_EQ(day.at(1)->Done, 1);
    EXPECT_EQ(day.at(2)->LastReminded, 0.0);
}

} // namespace
