// A series in the real program under its own X server: made in the window by
// keyboard, one occurrence reminded, all of the series renamed; then what the
// list, the files and the command line show.
#include "MainWindowGeometry.h"
#include "XSession.h"

#include "TestSupport.h"

#include <QDataStream>
#include <QFile>
#include <QTreeWidget>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");
const QString ReminderTitle = QStringLiteral("Terminerinnerung");
const QString QuestionTitle = QStringLiteral("Serie ändern");

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// termine.dat without appointments and without automatic checks: only the
// start's check reminds, so the test decides when.
void WriteStoreWithoutChecks(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray bytes(36890 * 4, '\0');
    QDataStream tail(&bytes, QIODevice::Append);
    tail.setByteOrder(QDataStream::LittleEndian);
    tail << qint32(0) << qint32(0) << qint32(0);
    file.write(bytes);
}

qulonglong ActiveMainWindow(XSession& x)
{
    const qulonglong window = x.waitForWindow(MainTitle);
    return window != 0 && x.waitForActiveWindow(window) ? window : 0;
}

using ProgramWithSeries = RealProgramTest;

} // namespace

TEST_F(ProgramWithSeries, MadeRemindedAndRenamedForAllOfTheSeries)
{
    const QPoint add = ControlInMainWindow("AddTerminBtn");
    const QRect list = ControlRectInMainWindow("ListView1", true);
    const QPoint name = ControlRectInMainWindow("NameEd", true).center();
    ASSERT_FALSE(add.isNull() || list.isNull() || name.isNull());
    ProgramRun run(x());
    // A Friday; the new appointment at 12:00 today is due with its three days' lead.
    run.setNow(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    WriteStoreWithoutChecks(run.dataFile());
    const QString seriesFile = run.folder() + QStringLiteral("/datumswecker-serien.ics");

    // Made by keyboard: a new appointment, its name, the page "Wiederkehr", "Wiederholen", weekly.
    ASSERT_TRUE(run.start());
    qulonglong window = ActiveMainWindow(x());
    ASSERT_NE(window, 0u) << run.output().toStdString();
    x().click(ClientAreaOrigin(x(), window) + add);
    x().type(QStringLiteral("Chor"));
    x().key(QStringLiteral("alt+k"));
    x().key(QStringLiteral("alt+r"));
    x().type(QStringLiteral("w"));
    EXPECT_TRUE(
        PollUntil([&] { return ReadAll(seriesFile).contains("RRULE:FREQ=WEEKLY"); }, XSession::WaitMs))
        << "the series was not saved at once";
    x().screenshot(ScreenshotPath(QStringLiteral("series_edit_page.png")));
    x().closeWindow(MainTitle);
    ASSERT_EQ(run.waitForExit(), 0) << run.output().toStdString();
    EXPECT_TRUE(ReadAll(seriesFile).contains("SUMMARY:Chor"));
    EXPECT_EQ(ReadAll(run.dataFile()), QByteArray(36890 * 4, '\0') + QByteArray(12, '\0'))
        << "the appointment became the series and left termine.dat";

    // The next start reminds of today's occurrence before the window comes.
    ASSERT_TRUE(run.start());
    const qulonglong reminder = x().waitForWindow(ReminderTitle);
    ASSERT_NE(reminder, 0u) << run.output().toStdString();
    ASSERT_TRUE(x().waitForActiveWindow(reminder));
    x().key(QStringLiteral("Return")); // "Später nochmal"
    window = ActiveMainWindow(x());
    ASSERT_NE(window, 0u);

    // Today's list holds the occurrence; renamed for all of the series.
    const QPoint origin = ClientAreaOrigin(x(), window);
    x().click(origin + QPoint(list.left() + 40, list.top() + list.height() / 6));
    x().click(origin + name);
    x().key(QStringLiteral("ctrl+a"));
    x().type(QStringLiteral("P"));
    const qulonglong question = x().waitForWindow(QuestionTitle);
    ASSERT_NE(question, 0u) << "no question whether this occurrence alone or all";
    x().screenshot(ScreenshotPath(QStringLiteral("series_question.png")));
    ASSERT_TRUE(x().waitForActiveWindow(question));
    x().key(QStringLiteral("alt+a")); // "Alle Termine der Serie"
    ASSERT_TRUE(x().waitForWindowGone(QuestionTitle));
    ASSERT_NE(ActiveMainWindow(x()), 0u);
    x().type(QStringLiteral("robe"));
    EXPECT_TRUE(PollUntil([&] { return ReadAll(seriesFile).contains("SUMMARY:Probe"); }, XSession::WaitMs));
    x().screenshot(ScreenshotPath(QStringLiteral("series_list.png")));
    EXPECT_EQ(run.terminate(SIGTERM), 0);

    // One event, renamed, with the reminder of today's occurrence.
    const QByteArray saved = ReadAll(seriesFile).replace("\r\n ", "");
    EXPECT_EQ(saved.count("BEGIN:VEVENT"), 1) << saved.toStdString();
    EXPECT_TRUE(saved.contains("DTSTART:20240315T120000")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("X-DATUMSWECKER-OF=20240315T120000:2024-03-15T09:0")) << saved.toStdString();
    // The command line lists the occurrences as the window does.
    QProcess agenda;
    agenda.setProcessEnvironment(x().environment());
    agenda.start(run.folder() + QStringLiteral("/datumswecker"),
                 {QStringLiteral("--agenda"), QStringLiteral("2024-03-15"), QStringLiteral("--days"),
                  QStringLiteral("14"), QStringLiteral("--json")});
    ASSERT_TRUE(agenda.waitForFinished(XSession::WaitMs));
    const QByteArray lines = agenda.readAllStandardOutput();
    EXPECT_EQ(lines.count("\"name\":\"Probe\""), 2) << lines.toStdString();
    EXPECT_TRUE(lines.contains("\"date\":\"2024-03-22\"")) << lines.toStdString();
}
