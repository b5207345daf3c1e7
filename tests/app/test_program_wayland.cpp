// The real program as a native Wayland client under a headless weston: the
// window never goes where neither the program nor a later start can fetch it back.
#include "WaylandSession.h"

#include "store/DataFile.h"
#include "tests/store/StoreTestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");
const QDateTime Start(QDate(2024, 3, 15), QTime(9, 0));

class OnWayland : public SessionTest<WaylandSession>
{
protected:
    static WaylandSession& w() { return session(); }
    // A data file with the settings and, if asked, one appointment due at the start.
    static void WriteStore(const ProgramRun& run, bool startMinimised, bool due)
    {
        std::unique_ptr<CalendarGrid> grid = storetest::NewGrid();
        if (due)
            storetest::Add(*grid, 2024, 3, 16, storetest::Entry().named("Zahnarzt"));
        ScriptedMessageBoxes quiet;
        ASSERT_TRUE(DataFile(run.dataFile()).SaveTermins(*grid, StoredSettings{0, 30, startMinimised}));
    }
    static void Shoot(const QString& name) { ASSERT_TRUE(w().screenshot(ScreenshotPath(name))); }
};

} // namespace

TEST_F(OnWayland, ShowsAReminderAndBothPagesAndSavesOnSigterm)
{
    ProgramRun run(w());
    WriteStore(run, false, true);
    run.setNow(Start);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(w().waitForWindow(QStringLiteral("Terminerinnerung"))) << run.output().toStdString();
    Shoot(QStringLiteral("weston-reminder.png"));
    ASSERT_TRUE(w().press(QStringLiteral("Nicht mehr erinnern")));
    ASSERT_TRUE(w().waitForWindow(MainTitle));
    ASSERT_TRUE(w().press(QStringLiteral("Einstellungen")));
    Shoot(QStringLiteral("weston-settings.png"));
    ASSERT_TRUE(w().press(QStringLiteral("Termine verwalten")));
    EXPECT_EQ(run.terminate(SIGTERM), 0) << run.output().toStdString();
    std::unique_ptr<CalendarGrid> saved = storetest::NewGrid();
    DataFile(run.dataFile()).OpenTermins(*saved);
    ASSERT_EQ(saved->Day(2024, 3, 16).count(), 1u);
    EXPECT_EQ(saved->Day(2024, 3, 16).at(0)->Done, 1) << "the answer was not saved";
}

TEST_F(OnWayland, MinimierenAndMinimiertStartenComeBackByASecondStart)
{
    ProgramRun run(w());
    run.setNow(Start);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(w().waitForWindow(MainTitle)) << run.output().toStdString();
    Shoot(QStringLiteral("weston-before.png"));
    ASSERT_TRUE(w().press(QStringLiteral("Minimieren")));
    EXPECT_TRUE(w().waitForWindow(MainTitle, false));
    Shoot(QStringLiteral("weston-minimised.png"));
    QString output;
    EXPECT_EQ(run.startAgain(&output), 0) << output.toStdString();
    EXPECT_TRUE(w().waitForWindow(MainTitle)) << "the running copy did not come back";
    Shoot(QStringLiteral("weston-second-start.png"));
    EXPECT_EQ(run.terminate(SIGTERM), 0);
    EXPECT_TRUE(QFile::exists(run.dataFile())) << "not saved at the end";

    // The window comes up and goes away within half a second, so it is followed
    // in the protocol log: a look at the scene graph may take longer than that.
    ProgramRun minimised(w());
    WriteStore(minimised, true, false);
    ASSERT_TRUE(w().startWindowLog());
    ASSERT_TRUE(minimised.start());
    const QStringList cameAndWent{QLatin1Char('+') + MainTitle, QLatin1Char('-') + MainTitle};
    EXPECT_TRUE(PollUntil([&] { return w().windowLog() == cameAndWent; }, XSession::WaitMs))
        << w().windowLog().join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(w().shownWindows().contains(MainTitle));
    EXPECT_EQ(minimised.startAgain(), 0);
    EXPECT_TRUE(w().waitForWindow(MainTitle)) << "started minimised, it never came back";
    EXPECT_EQ(minimised.terminate(SIGTERM), 0);
}

TEST_F(OnWayland, ATrayHostThatComesLaterGetsTheIconAndNoMenuOpensAsAWindow)
{
    ProgramRun run(w());
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(w().waitForWindow(MainTitle));

    // A watcher and a host registering with it: a panel started after the program.
    QProcess watcher;
    watcher.setProcessEnvironment(w().environment());
    watcher.start(QStringLiteral("status-notifier-watcher"), {});
    auto send = [](const QStringList& args) {
        return w().run(QStringLiteral("dbus-send"),
                       QStringList{QStringLiteral("--session"), QStringLiteral("--print-reply")} + args);
    };
    const QStringList atWatcher{QStringLiteral("--dest=org.kde.StatusNotifierWatcher"),
                                QStringLiteral("/StatusNotifierWatcher")};
    ASSERT_TRUE(PollUntil(
        [&] {
            return !send(atWatcher +
                         QStringList{
                             QStringLiteral("org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost"),
                             QStringLiteral("string:org.kde.StatusNotifierHost-test")})
                        .isEmpty();
        },
        XSession::WaitMs));
    QString item;
    EXPECT_TRUE(PollUntil(
        [&] {
            item = QRegularExpression(QStringLiteral("\"(:[0-9.]+)"))
                       .match(send(atWatcher +
                                   QStringList{QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                                               QStringLiteral("string:org.kde.StatusNotifierWatcher"),
                                               QStringLiteral("string:RegisteredStatusNotifierItems")}))
                       .captured(1);
            return !item.isEmpty();
        },
        XSession::WaitMs))
        << "the item never reached the watcher";

    // A host that asks the program for its menu gets none in a window of its own.
    EXPECT_FALSE(send({QStringLiteral("--dest=") + item, QStringLiteral("/StatusNotifierItem"),
                       QStringLiteral("org.kde.StatusNotifierItem.ContextMenu"), QStringLiteral("int32:0"),
                       QStringLiteral("int32:0")})
                     .isEmpty());
    QThread::msleep(1000);
    EXPECT_EQ(w().shownWindows().join(QLatin1Char('|')).toStdString(), MainTitle.toStdString());
    EXPECT_EQ(run.terminate(SIGTERM), 0);
    StopProcess(watcher);
}
