// The real program under sway, whose notification server (dunst) sends no
// activation token with a click: the reminder comes forward all the same.
#include "SwaySession.h"

#include "store/DataFile.h"
#include "tests/store/StoreTestSupport.h"

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString ReminderTitle = QStringLiteral("Terminerinnerung");

class OnSway : public SessionTest<SwaySession>
{
protected:
    static SwaySession& s() { return session(); }
};

} // namespace

TEST_F(OnSway, AClickOnTheNotificationBringsTheCoveredReminderForward)
{
    ProgramRun run(s());
    {
        std::unique_ptr<CalendarGrid> grid = storetest::NewGrid();
        storetest::Add(*grid, 2024, 3, 16, storetest::Entry().named("Zahnarzt"));
        ScriptedMessageBoxes quiet;
        ASSERT_TRUE(DataFile(run.dataFile()).SaveTermins(*grid, StoredSettings{0, 30, false}));
    }
    run.setNow(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(s().waitFor(ReminderTitle, "focused")) << run.output().toStdString();
    ASSERT_TRUE(PollUntil(
        [] {
            return s().dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}).trimmed() ==
                   QStringLiteral("1");
        },
        XSession::WaitMs));

    // Another program's window takes the focus, then covers the whole screen.
    QProcess cover;
    cover.setProcessEnvironment(s().environment());
    cover.start(QStringLiteral("weston-flower"), {});
    ASSERT_TRUE(cover.waitForStarted(XSession::WaitMs));
    ASSERT_TRUE(s().waitFor(cover.processId(), "focused"));
    struct Case
    {
        const char* what;
        const char* command;
        const char* comesTo;
    };
    for (const Case& c : {Case{"covered", "focus", "focused"},
                          Case{"under a full-screen window", "fullscreen enable", "urgent"}}) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(
            s().command(QStringLiteral("[pid=%1] %2").arg(cover.processId()).arg(QLatin1String(c.command))));
        ASSERT_TRUE(s().waitFor(cover.processId(), "focused"));
        ASSERT_FALSE(s().window(ReminderTitle).value(QStringLiteral("focused")).toBool());
        s().dunstctl({QStringLiteral("action"), QStringLiteral("0")});
        EXPECT_TRUE(s().waitFor(ReminderTitle, c.comesTo)) << run.output().toStdString();
    }
    EXPECT_EQ(run.terminate(SIGTERM), 0);
    StopProcess(cover);
}
