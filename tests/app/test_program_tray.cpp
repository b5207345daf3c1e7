// The real program with the notification areas people have besides the old X11
// tray: a StatusNotifierItem host on the session bus, and none at all.
#include "MainWindowGeometry.h"
#include "XSession.h"

#include "TestSupport.h"
#include "store/CalendarGrid.h"
#include "store/DataFile.h"

#include <QFile>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");

using ProgramWithStatusNotifierHost = ProgramTestIn<XSession::Tray::StatusNotifier>;
using ProgramWithoutTray = ProgramTestIn<XSession::Tray::None>;

void Pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

void WriteStartMinimised(const QString& path)
{
    CalendarGrid grid;
    grid.Build();
    ScriptedMessageBoxes quiet;
    ASSERT_TRUE(DataFile(path).SaveTermins(grid, StoredSettings{0, 30, true}));
}

void HoverOver(const XSession& x, const QPoint& at)
{
    x.run(QStringLiteral("xdotool"),
          {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

// Presses "Minimieren" in the main window.
void ClickMinimieren(const XSession& x)
{
    static const QPoint button = ControlInMainWindow("MinimizeBtn");
    ASSERT_FALSE(button.isNull()) << "no MinimizeBtn";
    const qulonglong window = x.waitForWindow(MainTitle);
    ASSERT_NE(window, 0u);
    x.click(ClientAreaOrigin(x, window) + button);
}

} // namespace

TEST_F(ProgramWithStatusNotifierHost, IconShowsHidesOpensBothMenusAndEnds)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u) << run.output().toStdString();
    const QRect icon = x().waitForStatusNotifierIcon();
    ASSERT_TRUE(icon.isValid()) << "the host shows no icon";

    // A click is the whole double-click sequence: it hides, the next one shows.
    HoverOver(x(), icon.center()); // the host takes a click only after the pointer came in
    Pause(500);
    x().click(icon.center());
    EXPECT_TRUE(x().waitForWindowGone(MainTitle));
    Pause(400);
    x().click(icon.center());
    EXPECT_NE(x().waitForWindow(MainTitle), 0u);

    // The host opens the menu the item exports: "Verbergen" first while the window shows.
    EXPECT_EQ(x().statusNotifierMenu(),
              (QStringList{QStringLiteral("Verbergen"), QStringLiteral("-"), QStringLiteral("Keine Aktion"),
                           QStringLiteral("-"), QStringLiteral("Zur Norvex Homepage..."),
                           QStringLiteral("Über das Programm..."), QStringLiteral("-"),
                           QStringLiteral("Beenden")}));
    Pause(400);
    x().click(icon.center(), 3);
    Pause(800);
    x().screenshot(ScreenshotPath(QStringLiteral("sni_menu.png")));
    x().key(QStringLiteral("Down"));
    x().key(QStringLiteral("Return"));
    EXPECT_TRUE(x().waitForWindowGone(MainTitle));

    // A host that asks the item for its menu gets the program's own, now with "Anzeigen" first.
    Pause(400);
    ASSERT_TRUE(x().callStatusNotifierItem(QStringLiteral("ContextMenu"), QPoint(80, 80)));
    const QRect menu = x().waitForMenu();
    ASSERT_TRUE(menu.isValid());
    x().screenshot(ScreenshotPath(QStringLiteral("sni_context_menu.png")));
    x().click(FirstMenuItem(menu));
    EXPECT_NE(x().waitForWindow(MainTitle), 0u);

    // "Beenden", the host menu's last item, ends the program and saves.
    Pause(400);
    x().click(icon.center(), 3);
    Pause(800);
    x().key(QStringLiteral("Up"));
    x().key(QStringLiteral("Return"));
    EXPECT_EQ(run.waitForExit(), 0) << run.output().toStdString();
    EXPECT_TRUE(QFile::exists(run.dataFile()));
    EXPECT_TRUE(x().waitForStatusNotifierIconGone()) << "the icon outlived the program";
}

TEST_F(ProgramWithStatusNotifierHost, AHiddenWindowComesBackMinimisedWhenTheHostGoes)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u);
    const QRect icon = x().waitForStatusNotifierIcon();
    ASSERT_TRUE(icon.isValid());
    HoverOver(x(), icon.center()); // the host takes a click only after the pointer came in
    Pause(500);
    x().click(icon.center());
    ASSERT_TRUE(x().waitForWindowGone(MainTitle));

    x().stopStatusNotifierHost();
    EXPECT_TRUE(x().waitForWindowState(MainTitle, QStringLiteral("Iconic")))
        << "the window stayed out of reach";
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}

TEST_F(ProgramWithoutTray, MinimierenLeavesTheWindowInTheTaskBar)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u) << run.output().toStdString();
    Pause(500);
    ClickMinimieren(x());
    EXPECT_TRUE(x().waitForWindowState(MainTitle, QStringLiteral("Iconic")))
        << x().windowState(MainTitle).toStdString();
    Pause(500);
    x().screenshot(ScreenshotPath(QStringLiteral("no_tray_minimised.png")));

    // The task bar's button brings it back.
    x().click(QPoint(100, 768 - 15));
    EXPECT_TRUE(x().waitForWindowState(MainTitle, QStringLiteral("Normal")));
    EXPECT_NE(x().waitForWindow(MainTitle), 0u);
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}

TEST_F(ProgramWithoutTray, StartMinimisedComesUpMinimised)
{
    ProgramRun run(x());
    WriteStartMinimised(run.dataFile());
    ASSERT_TRUE(run.start());
    EXPECT_TRUE(x().waitForWindowState(MainTitle, QStringLiteral("Iconic")));
    Pause(1000);
    EXPECT_EQ(x().windowState(MainTitle), QStringLiteral("Iconic")); // and stays there
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}

TEST_F(ProgramWithoutTray, ATrayThatComesLaterTakesTheIconAndGivesTheWindowBackWhenItGoes)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u);
    ASSERT_TRUE(x().startTrayer());
    EXPECT_TRUE(x().waitForTrayIcon().isValid()) << "no icon in the tray that came later";
    Pause(2500); // the program looks for a tray every second
    ClickMinimieren(x());
    EXPECT_TRUE(x().waitForWindowGone(MainTitle));
    EXPECT_EQ(x().windowState(MainTitle), QString()); // hidden, as with a tray

    x().stopTrayer();
    EXPECT_TRUE(x().waitForWindowState(MainTitle, QStringLiteral("Iconic"))) << "the window stayed hidden";
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}
