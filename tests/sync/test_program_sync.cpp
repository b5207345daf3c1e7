// The real program syncing with Radicale through its window: the account set
// up on the settings page, an edit in the window reaches the server, and an
// edit on the server reaches the open list.
#include "MainWindowGeometry.h"
#include "RadicaleServer.h"
#include "XSession.h"

#include <QFile>
#include <QProcess>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");

using ProgramSync = RealProgramTest;

QByteArray DataFile(const ProgramRun& run)
{
    QFile file(run.dataFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(ProgramSync, EditsTravelBothWaysThroughTheWindow)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    ASSERT_EQ(server.put(QStringLiteral("vom-server.ics"),
                         Event(QStringLiteral("vom-server"), QStringLiteral("20300501T080000"),
                               QStringLiteral("Vom Server"))),
              201);
    ProgramRun run(x());
    run.setNow(QDateTime(QDate(2030, 5, 1), QTime(12, 0)));
    // No secret store answers here (none may prompt on this display): the password stays in the run's memory.
    run.setVariable(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    ASSERT_TRUE(run.start());
    const qulonglong window = x().waitForWindow(MainTitle);
    ASSERT_NE(window, 0u) << run.output().toStdString();
    ASSERT_TRUE(x().waitForActiveWindow(window));

    // The account on the settings page, through the labels' shortcuts.
    x().key(QStringLiteral("ctrl+Tab"));
    x().key(QStringLiteral("alt+a"));
    x().type(server.calendarUrl());
    x().key(QStringLiteral("alt+b"));
    x().type(QString::fromLatin1(RadicaleServer::User));
    x().key(QStringLiteral("alt+p"));
    x().type(QString::fromLatin1(RadicaleServer::Password));
    x().key(QStringLiteral("alt+j"));
    ASSERT_TRUE(PollUntil([&] { return DataFile(run).contains("Vom Server"); }, XSession::WaitMs))
        << run.output().toStdString();
    x().screenshot(ScreenshotPath(QStringLiteral("sync-settings.png")));

    // A new appointment typed in the window goes up a few seconds later.
    x().key(QStringLiteral("ctrl+Tab"));
    const QPoint origin = ClientAreaOrigin(x(), window);
    x().click(origin + ControlInMainWindow("AddTerminBtn"));
    x().type(QStringLiteral("Aus dem Fenster"));
    EXPECT_TRUE(
        PollUntil([&] { return server.everything().contains("SUMMARY:Aus dem Fenster"); }, XSession::WaitMs));

    // Changed on the server, synced on request: row 0 of the open list shows it,
    // and an edit made there goes back to the same event.
    QByteArray theirs = server.get(QStringLiteral("vom-server.ics"));
    theirs.replace("SUMMARY:Vom Server", "SUMMARY:Vom Server neu");
    ASSERT_EQ(server.put(QStringLiteral("vom-server.ics"), theirs), 201);
    // From the list, not the edit pages, so that ctrl+Tab turns the main window's pages.
    const QRect list = ControlRectInMainWindow("ListView1");
    x().click(origin + QPoint(list.left() + 40, list.top() + 90));
    x().key(QStringLiteral("ctrl+Tab"));
    x().key(QStringLiteral("alt+j"));
    ASSERT_TRUE(PollUntil([&] { return DataFile(run).contains("Vom Server neu"); }, XSession::WaitMs));
    x().key(QStringLiteral("ctrl+Tab"));
    x().click(origin + QPoint(list.left() + 40, list.top() + 30));
    x().key(QStringLiteral("Tab"));
    x().key(QStringLiteral("Tab"));
    x().key(QStringLiteral("End"));
    // Letters on the test keyboard only: xdotool lends a key to others, and a slow
    // program (sanitizers) reads that key after it has been given back.
    x().type(QStringLiteral(" bestaetigt"));
    EXPECT_TRUE(PollUntil(
        [&] {
            return server.get(QStringLiteral("vom-server.ics")).contains("SUMMARY:Vom Server neu bestaetigt");
        },
        XSession::WaitMs))
        << server.get(QStringLiteral("vom-server.ics")).constData();
    x().screenshot(ScreenshotPath(QStringLiteral("sync-list.png")));
    EXPECT_EQ(server.names().size(), 2);

    // --sync is handed to the running copy, which answers when its sync has ended.
    QProcess command;
    command.setProcessEnvironment(x().environment());
    command.start(run.folder() + QStringLiteral("/datumswecker"), {QStringLiteral("--sync")});
    ASSERT_TRUE(command.waitForFinished(XSession::WaitMs));
    EXPECT_EQ(command.exitCode(), 0) << command.readAllStandardError().constData();
    EXPECT_TRUE(command.readAllStandardOutput().startsWith("Abgeglichen"));
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}
