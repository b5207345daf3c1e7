// The real program in a real X session: window, close box, signals, tray icon.
#include "XSession.h"

#include "TestSupport.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");

// A data file without appointments and with the given settings.
void WriteEmptyStore(const QString& path, qint32 minutes, qint32 seconds, qint32 minimised)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray bytes(36890 * 4, '\0');
    QDataStream tail(&bytes, QIODevice::Append);
    tail.setByteOrder(QDataStream::LittleEndian);
    tail << minutes << seconds << minimised;
    file.write(bytes);
}

using Program = RealProgramTest;

} // namespace

TEST_F(Program, CloseBoxEndsTheProgramAndSaves)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u) << run.output().toStdString();
    EXPECT_FALSE(QFile::exists(run.dataFile())); // starting creates no file
    x().closeWindow(MainTitle);
    EXPECT_EQ(run.waitForExit(), 0) << run.output().toStdString();
    EXPECT_TRUE(QFile::exists(run.dataFile()));
}

TEST_F(Program, SignalsEndTheProgramAsBeendenDoes)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        ProgramRun run(x());
        ASSERT_TRUE(run.start());
        ASSERT_NE(x().waitForWindow(MainTitle), 0u);
        EXPECT_EQ(run.terminate(sig), 0) << "signal " << sig << run.output().toStdString();
        EXPECT_TRUE(QFile::exists(run.dataFile())) << "signal " << sig;
    }
}

TEST_F(Program, TrayIconShowsAndHidesTheWindowAndEndsTheProgram)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u);
    const QRect icon = x().waitForTrayIcon();
    ASSERT_TRUE(icon.isValid()) << "no icon in the tray";
    const QPoint centre = icon.center();

    // Double click hides, another shows. The pause keeps two double clicks from
    // being taken for one longer series.
    x().click(centre, 1, 2);
    EXPECT_TRUE(x().waitForWindowGone(MainTitle));
    QThread::msleep(400);
    x().click(centre, 1, 2);
    EXPECT_NE(x().waitForWindow(MainTitle), 0u);

    // The menu's first item hides the visible window ("Verbergen").
    QThread::msleep(400);
    x().click(centre, 3);
    QRect menu = x().waitForMenu();
    ASSERT_TRUE(menu.isValid());
    x().screenshot(ScreenshotPath(QStringLiteral("tray_menu.png")));
    x().click(FirstMenuItem(menu));
    EXPECT_TRUE(x().waitForWindowGone(MainTitle));

    // "Beenden" is the last item.
    QThread::msleep(400);
    x().click(centre, 3);
    menu = x().waitForMenu();
    ASSERT_TRUE(menu.isValid());
    x().click(LastMenuItem(menu));
    EXPECT_EQ(run.waitForExit(), 0) << run.output().toStdString();
    EXPECT_TRUE(QFile::exists(run.dataFile()));
    EXPECT_TRUE(x().waitForTrayIconGone()) << "the icon outlived the program";
}

TEST_F(Program, StartMinimisedHidesTheWindowHalfASecondAfterItCameUp)
{
    ProgramRun run(x());
    WriteEmptyStore(run.dataFile(), 0, 30, 1);
    // Up for half a second only: followed in the window manager's list, since
    // looking for it may take longer than that under load.
    ASSERT_TRUE(x().startWindowLog());
    ASSERT_TRUE(run.start());
    const QStringList cameAndWent{QLatin1Char('+') + MainTitle, QLatin1Char('-') + MainTitle};
    // Only the program's window: under load the window manager may list the
    // tray host's panel after the log began.
    EXPECT_TRUE(PollUntil([&] { return x().windowLog().filter(MainTitle) == cameAndWent; }, XSession::WaitMs))
        << x().windowLog().join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(x().isWindowVisible(MainTitle));
    EXPECT_TRUE(run.running()); // still there, with its icon
    EXPECT_TRUE(x().waitForTrayIcon().isValid());
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}
