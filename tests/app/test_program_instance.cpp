// The real program started twice on one data folder, and after a crash.
#include "XSession.h"

#include "TestSupport.h"
#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");

using SecondStart = RealProgramTest;

// The process that holds the folder's lock, as the lock file names it.
qint64 LockHolder(const ProgramRun& run)
{
    QFile lock(dw::InstanceLockPath(run.folder() + QLatin1Char('/')));
    return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
}

} // namespace

TEST_F(SecondStart, BringsTheHiddenWindowBackAndEndsWithoutTouchingTheData)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u);
    const QRect icon = x().waitForTrayIcon();
    ASSERT_TRUE(icon.isValid());
    EXPECT_EQ(LockHolder(run), run.pid());

    // "Verbergen" from the menu: no click that starts the save timer.
    QThread::msleep(400);
    x().click(icon.center(), 3);
    const QRect menu = x().waitForMenu();
    ASSERT_TRUE(menu.isValid());
    x().click(FirstMenuItem(menu));
    ASSERT_TRUE(x().waitForWindowGone(MainTitle));

    QString output;
    EXPECT_EQ(run.startAgain(&output), 0) << output.toStdString();
    EXPECT_NE(x().waitForWindow(MainTitle), 0u) << "the running copy did not show its window";
    EXPECT_FALSE(QFile::exists(run.dataFile())) << "a start wrote the data file";
    EXPECT_EQ(LockHolder(run), run.pid());
    EXPECT_TRUE(run.running());

    EXPECT_EQ(run.terminate(SIGTERM), 0);
    EXPECT_TRUE(QFile::exists(run.dataFile()));
    EXPECT_FALSE(QFile::exists(dw::InstanceLockPath(run.folder() + QLatin1Char('/'))));
}

TEST_F(SecondStart, AfterACrashANewStartRunsAndOtherFoldersRunBeside)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u);
    run.terminate(SIGKILL);
    ASSERT_TRUE(QFile::exists(dw::InstanceLockPath(run.folder() + QLatin1Char('/')))); // left behind

    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u) << run.output().toStdString();
    EXPECT_EQ(LockHolder(run), run.pid());

    ProgramRun elsewhere(x());
    ASSERT_TRUE(elsewhere.start());
    // Running beside: it holds its own folder's lock and shows its own window.
    EXPECT_TRUE(PollUntil(
        [&] {
            const QString windows = x().run(QStringLiteral("xdotool"),
                                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"), QLatin1Char('^') + MainTitle + u'$'});
            return LockHolder(elsewhere) == elsewhere.pid() && windows.count(QLatin1Char('\n')) == 2;
        },
        XSession::WaitMs))
        << elsewhere.output().toStdString();
    EXPECT_TRUE(elsewhere.running()) << elsewhere.output().toStdString();
    EXPECT_TRUE(run.running());
    EXPECT_EQ(elsewhere.terminate(SIGTERM), 0);
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}

TEST_F(SecondStart, CompletesTheLaunchOfTheLaterStartWithItsStartupId)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    const qulonglong window = x().waitForWindow(MainTitle);
    ASSERT_NE(window, 0u);
    qputenv("DESKTOP_STARTUP_ID", "launcher-1_TIME1");
    EXPECT_EQ(run.startAgain(), 0);
    qunsetenv("DESKTOP_STARTUP_ID");
    EXPECT_TRUE(x().run(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_STARTUP_ID")})
                    .contains(QStringLiteral("\"launcher-1_TIME1\"")));
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}
