// The real program with appointments: adding one by mouse and keyboard, and a
// reminder that is due at start. Runs under its own X server.
#include "XSession.h"

#include "TestSupport.h"
#include "app/MainForm.h"
#include "browser/CalendarPage.h"
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"
#include "store/DataFile.h"

#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");
const QString ReminderTitle = QStringLiteral("Terminerinnerung");

using ProgramWithData = RealProgramTest;

// Where a control of the main window sits inside the window, measured on a copy
// of the same window laid out here.
QPoint PositionInMainWindow(const char* objectName)
{
    QTemporaryDir dir;
    dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    TMainForm form;
    form.resize(630, 485);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.FirstShowDone = true; // no check here
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
    const QDate today = QDate::currentDate();
    if (QTime::currentTime() > QTime(23, 59, 30))
        GTEST_SKIP() << "too close to midnight";

    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    const qulonglong window = x().waitForWindow(MainTitle);
    ASSERT_NE(window, 0u);
    QThread::msleep(500);
    x().click(ClientOrigin(x(), window) + buttonInWindow);
    QThread::msleep(500);
    x().type(QStringLiteral("Zahnarzt"));
    QThread::msleep(2000); // the save timer's tick writes the file

    {
        Loaded saved = Load(run.dataFile());
        ASSERT_TRUE(saved.result.fileExisted);
        const DayList& day = saved.grid->Day(today.year(), today.month(), today.day());
        ASSERT_EQ(day.count(), 1u) << "the save timer did not write the appointment";
        EXPECT_EQ(dw::FromAnsi(day.at(0)->Name), QStringLiteral("Zahnarzt"));
    }
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
    const QDateTime due = QDateTime::currentDateTime().addSecs(3600);
    ProgramRun run(x());
    WriteDueAppointment(run.dataFile(), due);
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(ReminderTitle), 0u) << run.output().toStdString();
    EXPECT_FALSE(x().isWindowVisible(MainTitle));
    QThread::msleep(500);
    x().key(postpone ? QStringLiteral("Return") : QStringLiteral("Escape"));
    EXPECT_TRUE(x().waitForWindowGone(ReminderTitle, 5000));
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
    const QDateTime due = QDateTime::currentDateTime().addSecs(3600);
    ProgramRun run(x());
    WriteDueAppointment(run.dataFile(), due);
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(ReminderTitle), 0u);
    const QRect icon = x().waitForTrayIcon();
    ASSERT_TRUE(icon.isValid());
    x().click(icon.center(), 3);
    QThread::msleep(500);
    x().key(QStringLiteral("Up"));
    x().key(QStringLiteral("Return"));
    EXPECT_EQ(run.waitForExit(), 0) << run.output().toStdString();
    Loaded saved = Load(run.dataFile());
    const DayList& day = saved.grid->Day(due.date().year(), due.date().month(), due.date().day());
    ASSERT_EQ(day.count(), 1u);
    EXPECT_EQ(day.at(0)->LastReminded, 0.0); // cancelled, not postponed
}
