// The real program with appointments: adding one by mouse and keyboard, and a
// reminder that is due at start. Runs under its own X server.
#include "XSession.h"

#include "TestSupport.h"
#include "app/MainForm.h"
#include "browser/CalendarPage.h"
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"
#include "store/DataFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>

#include <csignal>
#include <optional>
#include <utility>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");
const QString ReminderTitle = QStringLiteral("Terminerinnerung");

using ProgramWithData = RealProgramTest;

// The moment the program's clock starts from, unless a test needs another.
const QDateTime Start(QDate(2024, 3, 15), QTime(9, 0));


// Where a control of the main window sits inside the window, measured on a copy
// of the same window laid out here.
QPoint PositionInMainWindow(const char* objectName)
{
    QTemporaryDir dir;
    dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    TMainForm form;
    form.resize(630, 485);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.skipFirstShowCheck(); // no check here
    form.show();
    auto* control = form.findChild<QWidget*>(QLatin1String(objectName));
    const QPoint at = control ? control->mapTo(&form, control->rect().center()) : QPoint();
    form.hide();
    dw::SetModuleFileNameForTesting(QString());
    return at;
}

// The client area's top-left corner of a window on the screen.
QPoint ClientOrigin(const XSession& x, qulonglong window)
{
    const QString info = x.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const QRegularExpressionMatch left =
        QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(info);
    const QRegularExpressionMatch top =
        QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(info);
    return left.hasMatch() && top.hasMatch() ? QPoint(left.captured(1).toInt(), top.captured(1).toInt())
                                             : QPoint();
}

// Where the client area is once the window manager has placed the window: the
// same corner twice in a row.
QPoint WhereItRests(const XSession& x, qulonglong window)
{
    QPoint last = ClientOrigin(x, window);
    PollUntil(
        [&] {
            const QPoint now = ClientOrigin(x, window);
            return std::exchange(last, now) == now;
        },
        XSession::WaitMs);
    return last;
}

struct Loaded
{
    std::unique_ptr<CalendarGrid> grid = std::make_unique<CalendarGrid>();
    DataFile::LoadResult result;
};

Loaded Load(const QString& path)
{
    Loaded loaded;
    loaded.grid->Build();
    ScriptedMessageBoxes quiet;
    loaded.result = DataFile(path).OpenTermins(*loaded.grid);
    return loaded;
}

// A data file with one appointment at the given moment, due now with the default lead.
void WriteDueAppointment(const QString& path, const QDateTime& due)
{
    CalendarGrid grid;
    grid.Build();
    Appointment* a = grid.NewAppointment(due.date().year(), due.date().month(), due.date().day());
    ASSERT_NE(a, nullptr);
    a->TimeOfDay = dw::EncodeTime(due.time().hour(), due.time().minute());
    ASSERT_TRUE(ReplaceText(a->Name, QByteArrayLiteral("Besprechung")));
    ScriptedMessageBoxes quiet;
    ASSERT_TRUE(DataFile(path).SaveTermins(grid, StoredSettings{}));
}

} // namespace

TEST_F(ProgramWithData, AddingAnAppointmentToTodayIsSaved)
{
    const QPoint buttonInWindow = PositionInMainWindow("AddTerminBtn");
    ASSERT_FALSE(buttonInWindow.isNull()) << "no AddTerminBtn in the main window";
    // The program's clock starts on a leap day; "today" is that day however long the test takes.
    const QDate today(2024, 2, 29);
    ProgramRun run(x());
    run.setNow(QDateTime(today, QTime(10, 0)));
    ASSERT_TRUE(run.start());
    const qulonglong window = x().waitForWindow(MainTitle);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(x().waitForActiveWindow(window));
    x().click(WhereItRests(x(), window) + buttonInWindow);
    x().type(QStringLiteral("Zahnarzt"));

    // The save timer's tick writes the file.
    QString savedName;
    EXPECT_TRUE(PollUntil(
        [&] {
            Loaded saved = Load(run.dataFile());
            const DayList& day = saved.grid->Day(today.year(), today.month(), today.day());
            savedName = day.count() == 1 ? dw::FromAnsi(day.at(0)->Name) : QString();
            return savedName == QStringLiteral("Zahnarzt");
        },
        XSession::WaitMs))
        << "the save timer did not write the appointment; last seen: " << savedName.toStdString();
    EXPECT_EQ(run.terminate(SIGTERM), 0);

    Loaded saved = Load(run.dataFile());
    const DayList& day = saved.grid->Day(today.year(), today.month(), today.day());
    ASSERT_EQ(day.count(), 1u);
    const Appointment& a = *day.at(0);
    EXPECT_EQ(dw::FromAnsi(a.Name), QStringLiteral("Zahnarzt"));
    EXPECT_EQ(dw::FromAnsi(a.Description), QString());
    EXPECT_EQ(a.TimeOfDay, 0.5);
    EXPECT_EQ(a.FirstLead, 3.0);
    EXPECT_EQ(a.RepeatInterval, 1.0);
    EXPECT_EQ(a.LastReminded, 0.0);
    EXPECT_EQ(a.Done, 0);
}

class DueAtStart : public ProgramWithData, public ::testing::WithParamInterface<bool>
{
};

TEST_P(DueAtStart, ReminderComesBeforeTheMainWindow)
{
    const bool postpone = GetParam();
    ProgramRun run(x());
    run.setNow(Start);
    const QDateTime due = Start.addSecs(3600);
    WriteDueAppointment(run.dataFile(), due);
    ASSERT_TRUE(run.start());
    const qulonglong reminder = x().waitForWindow(ReminderTitle);
    ASSERT_NE(reminder, 0u) << run.output().toStdString();
    EXPECT_FALSE(x().isWindowVisible(MainTitle));
    ASSERT_TRUE(x().waitForActiveWindow(reminder));
    x().key(postpone ? QStringLiteral("Return") : QStringLiteral("Escape"));
    EXPECT_TRUE(x().waitForWindowGone(ReminderTitle));
    EXPECT_NE(x().waitForWindow(MainTitle), 0u);
    EXPECT_EQ(run.terminate(SIGTERM), 0);

    Loaded saved = Load(run.dataFile());
    const DayList& day = saved.grid->Day(due.date().year(), due.date().month(), due.date().day());
    ASSERT_EQ(day.count(), 1u);
    if (postpone)
        EXPECT_GT(day.at(0)->LastReminded, 0.0);
    else
        EXPECT_EQ(day.at(0)->LastReminded, 0.0);
    EXPECT_EQ(day.at(0)->Done, 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, DueAtStart, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("LaterAgain") : std::string("Escape");
                         });

TEST_F(ProgramWithData, BeendenDuringAReminderCancelsItSavesAndEnds)
{
    ProgramRun run(x());
    run.setNow(Start);
    const QDateTime due = Start.addSecs(3600);
    WriteDueAppointment(run.dataFile(), due);
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(ReminderTitle), 0u);
    const QRect icon = x().waitForTrayIcon();
    ASSERT_TRUE(icon.isValid());
    x().click(icon.center(), 3);
    const QRect menu = x().waitForMenu();
    ASSERT_TRUE(menu.isValid());
    x().click(LastMenuItem(menu)); // "Beenden"
    EXPECT_EQ(run.waitForExit(), 0) << run.output().toStdString();
    Loaded saved = Load(run.dataFile());
    const DayList& day = saved.grid->Day(due.date().year(), due.date().month(), due.date().day());
    ASSERT_EQ(day.count(), 1u);
    EXPECT_EQ(day.at(0)->LastReminded, 0.0); // cancelled, not postponed
}

namespace {

const QString ErrorBoxTitle = QString::fromLatin1(dw::ApplicationTitle);

// Where the first row of the appointment list and a control sit in a main
// window that shows this data file, measured on a copy laid out here.
std::pair<QPoint, QPoint> RowAndControlInMainWindow(const QString& dataFile, const char* objectName)
{
    QTemporaryDir dir;
    QFile::copy(dataFile, dir.filePath(QStringLiteral("termine.dat")));
    dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    std::pair<QPoint, QPoint> at;
    {
        TMainForm form;
        form.resize(630, 485);
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.skipFirstShowCheck();
        form.show();
        auto* list = form.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        auto* control = form.findChild<QWidget*>(QLatin1String(objectName));
        if (list && list->topLevelItemCount() > 0 && control) {
            // Selected, as the edit pages come with a selected appointment.
            list->setCurrentItem(list->topLevelItem(0));
            QCoreApplication::processEvents();
            at.first = list->viewport()->mapTo(&form, list->visualItemRect(list->topLevelItem(0)).center());
            at.second = control->mapTo(&form, control->rect().center());
        }
        form.hide();
    }
    dw::SetModuleFileNameForTesting(QString());
    return at;
}

} // namespace

// A signal ends the program as "Beenden" does whatever window is open, and a
// damaged file has been copied aside before the first message about it.
TEST_F(ProgramWithData, SignalsEndTheProgramCleanlyWhileAWindowIsOpen)
{
    enum class Open { StartUpMessage, Reminder, About };
    struct Case
    {
        const char* what;
        Open open;
        int signal;
    };
    const Case cases[] = {
        {"start-up message, SIGTERM", Open::StartUpMessage, SIGTERM},
        {"start-up message, SIGHUP", Open::StartUpMessage, SIGHUP},
        {"reminder, SIGINT", Open::Reminder, SIGINT},
        {"about dialog, SIGTERM", Open::About, SIGTERM},
    };
    const QPoint aboutButton = PositionInMainWindow("ueberbtn");
    const QByteArray damaged(5000, '\xFF');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun run(x());
        run.setNow(Start);
        if (c.open == Open::StartUpMessage) {
            QFile file(run.dataFile());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(damaged);
        } else if (c.open == Open::Reminder) {
            WriteDueAppointment(run.dataFile(), Start.addSecs(3600));
        }
        ASSERT_TRUE(run.start());
        switch (c.open) {
        case Open::StartUpMessage:
            ASSERT_NE(x().waitForWindow(ErrorBoxTitle), 0u) << run.output().toStdString();
            EXPECT_EQ(Load(run.dataFile() + QStringLiteral(".bak")).result.fileExisted, true)
                << "the copy comes before the message";
            break;
        case Open::Reminder: ASSERT_NE(x().waitForWindow(ReminderTitle), 0u); break;
        case Open::About: {
            const qulonglong window = x().waitForWindow(MainTitle);
            ASSERT_NE(window, 0u);
            ASSERT_TRUE(x().waitForActiveWindow(window));
            x().click(WhereItRests(x(), window) + aboutButton);
            ASSERT_NE(x().waitForWindow(QStringLiteral("Info")), 0u);
            break;
        }
        }
        QThread::msleep(300);
        EXPECT_EQ(run.terminate(c.signal), 0) << run.output().toStdString();
        Loaded saved = Load(run.dataFile());
        EXPECT_TRUE(saved.result.complete) << "the end saved a whole file";
    }
}

// Typing 75 into the hour field: the refusal's message takes the focus, and the
// field must not pull its value to 23 for that (and store it) while the box is open.
TEST_F(ProgramWithData, AnHourOutOfRangeIsNotPulledIntoRangeByItsMessage)
{
    const QDate today = Start.date();
    ProgramRun run(x());
    run.setNow(Start);
    {
        CalendarGrid grid;
        grid.Build();
        Appointment* a = grid.NewAppointment(today.year(), today.month(), today.day());
        ASSERT_NE(a, nullptr);
        a->TimeOfDay = dw::EncodeTime(12, 30);
        a->Done = 1; // no reminder
        ASSERT_TRUE(DataFile(run.dataFile()).SaveTermins(grid, StoredSettings{}));
    }
    // The copy laid out here shows the same day as the program.
    std::optional<ScopedFakeClock> sameDay(std::in_place, dw::FromQDateTime(Start));
    const auto [row, hourField] = RowAndControlInMainWindow(run.dataFile(), "hour");
    sameDay.reset();
    ASSERT_FALSE(row.isNull());
    ASSERT_TRUE(run.start());
    const qulonglong window = x().waitForWindow(MainTitle);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(x().waitForActiveWindow(window));
    const QPoint origin = WhereItRests(x(), window);
    x().click(origin + row);
    QThread::msleep(300);
    x().click(origin + hourField);
    QThread::msleep(300);
    x().key(QStringLiteral("ctrl+a"));
    x().type(QStringLiteral("75"));
    ASSERT_NE(x().waitForWindow(ErrorBoxTitle), 0u) << run.output().toStdString();
    QThread::msleep(500);
    x().screenshot(ScreenshotPath(QStringLiteral("hour_75.png")));
    EXPECT_EQ(run.terminate(SIGTERM), 0);

    Loaded saved = Load(run.dataFile());
    const DayList& day = saved.grid->Day(today.year(), today.month(), today.day());
    ASSERT_EQ(day.count(), 1u);
    EXPECT_EQ(day.at(0)->TimeOfDay, dw::EncodeTime(7, 30)) << "7 was stored, 75 refused, nothing more";
}
