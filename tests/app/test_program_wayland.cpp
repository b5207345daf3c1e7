// The real program as a native Wayland client under a headless weston: the
// window never goes where neither the program nor a later start can fetch it back.
#include "WaylandSession.h"

#include "store/DataFile.h"
#include "tests/store/StoreTestSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");
const QDateTime Start(QDate(2024, 3, 15), QTime(9, 0));

class OnWayland : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_session = new WaylandSession; }
    static void TearDownTestSuite() { delete s_session; }
    void SetUp() override
    {
        if (!QFile::exists(ProgramPath()))
            GTEST_SKIP() << "program not built";
        ASSERT_TRUE(s_session->ok()) << "no Wayland session";
    }
    static WaylandSession& w() { return *s_session; }
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

private:
    static inline WaylandSession* s_session = nullptr;
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
    const QDateTime written = QFileInfo(run.dataFile()).lastModified();
    EXPECT_EQ(run.terminate(SIGTERM), 0) << run.output().toStdString();
    EXPECT_GT(QFileInfo(run.dataFile()).lastModified(), written) << "not saved at the end";
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

    ProgramRun minimised(w());
    WriteStore(minimised, true, false);
    ASSERT_TRUE(minimised.start());
    ASSERT_TRUE(w().waitForWindow(MainTitle));
    EXPECT_TRUE(w().waitForWindow(MainTitle, false));
    EXPECT_EQ(minimised.startAgain(), 0);
    EXPECT_TRUE(w().waitForWindow(MainTitle)) << "started minimised, it never came back";
    EXPECT_EQ(minimised.terminate(SIGTERM), 0);
}

TEST_F(OnWayland, ATrayHostThatComesLaterGetsTheIconAndNoMenuOpensAsAWindow)
{
    ProgramRun run(w());
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(w().waitForWindow(MainTitle));

    // A watcher and a host that registers with it, as a panel started after the program.
    QProcess watcher;
    watcher.setProcessEnvironment(w().environment());
    watcher.start(QStringLiteral("status-notifier-watcher"), {});
    const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::connectToBus(
        w().environment().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")), QStringLiteral("host"));
    const QString host = QStringLiteral("org.kde.StatusNotifierHost-test");
    ASSERT_TRUE(bus.registerService(host));
    auto ask = [&](const QString& path, const QString& interface, const QString& method,
                   const QVariantList& args) {
        QDBusMessage call = QDBusMessage::createMethodCall(watcherName, path, interface, method);
        call.setArguments(args);
        return bus.call(call, QDBus::Block, 5000);
    };
    ASSERT_TRUE(PollUntil(
        [&] {
            return ask(QStringLiteral("/StatusNotifierWatcher"), watcherName,
                       QStringLiteral("RegisterStatusNotifierHost"), {host})
                       .type() == QDBusMessage::ReplyMessage;
        },
        XSession::WaitMs));
    QString item;
    EXPECT_TRUE(PollUntil(
        [&] {
            const QDBusMessage items = ask(
                QStringLiteral("/StatusNotifierWatcher"), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("Get"), {watcherName, QStringLiteral("RegisteredStatusNotifierItems")});
            const QStringList names =
                items.arguments().isEmpty()
                    ? QStringList()
                    : qvariant_cast<QDBusVariant>(items.arguments().constFirst()).variant().toStringList();
            item = names.isEmpty() ? QString() : names.constFirst().section(QLatin1Char('/'), 0, 0);
            return !item.isEmpty();
        },
        XSession::WaitMs))
        << "the item never reached the watcher";

    // A host that asks the program for its menu gets none in a window of its own.
    QDBusMessage menu = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                       QStringLiteral("org.kde.StatusNotifierItem"),
                                                       QStringLiteral("ContextMenu"));
    menu.setArguments({0, 0});
    EXPECT_EQ(bus.call(menu, QDBus::Block, 5000).type(), QDBusMessage::ReplyMessage);
    QThread::msleep(1000);
    EXPECT_EQ(w().shownWindows(), QStringList{MainTitle});
    EXPECT_EQ(run.terminate(SIGTERM), 0);
    bus.unregisterService(host);
    StopProcess(watcher);
}
