// What the user is told about termine.dat, and when the window saves it.
#include "TestSupport.h"
#include "messages/DataFileMessages.h"
#include "app/MainForm.h"
#include "platform/ProgramFolder.h"
#include "store/DataFile.h"
#include "ui_MainForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

using Problem = IDataFileReport::SaveProblem;
const QString Path = QStringLiteral("/daten/termine.dat");
const QString App = QString::fromLatin1(dw::ApplicationTitle);
const QString CopyText =
    QStringLiteral("Eine Kopie der nicht lesbaren Datei wurde als termine.dat.bak gesichert.");

// Each step is one report; the boxes it shows, as "caption: text" (text cut at its first line break).
struct Step
{
    std::function<void(DataFileMessages&)> report;
    QStringList boxes;
};

QStringList Boxes(const ScriptedMessageBoxes& boxes)
{
    QStringList shown;
    for (const ShownMessage& m : boxes.shown())
        shown << m.caption + QStringLiteral(": ") + m.text.section(QLatin1Char('\n'), 0, 0);
    return shown;
}

void RunSteps(const std::vector<Step>& steps)
{
    DataFileMessages messages;
    ScriptedMessageBoxes boxes;
    int index = 0;
    for (const Step& step : steps) {
        boxes.clear();
        step.report(messages);
        EXPECT_EQ(Boxes(boxes), step.boxes) << "step " << index++;
    }
}

const QString Fehler = dw::DefaultMessageBoxCaption() + QStringLiteral(": ");

TEST(DataFileMessages, EachReportIsToldAsDescribed)
{
    RunSteps({
        {[](DataFileMessages& m) {
             m.LoadFailed({Path, 0, QStringLiteral("Read beyond end of file"),
                           QStringLiteral("/daten/termine.dat.bak"), 0});
         },
         {App + QStringLiteral(": Read beyond end of file."), Fehler + CopyText}},
        {[](DataFileMessages& m) {
             m.SaveFailed({Problem::CannotCreate, Path, {}, EACCES});
         },
         {Fehler + QStringLiteral("Fehler: Konnte Datei nicht erzeugen!")}},
        // The described message repeats on every tick.
        {[](DataFileMessages& m) {
             m.SaveFailed({Problem::CannotCreate, Path, {}, EACCES});
         },
         {Fehler + QStringLiteral("Fehler: Konnte Datei nicht erzeugen!")}},
        {[](DataFileMessages& m) {
             m.SaveFailed({Problem::WriteError, Path, QStringLiteral("Disk full"), 0});
         },
         {App + QStringLiteral(": Disk full.")}},
    });
}

TEST(DataFileMessages, AFileThatCannotBeReadIsToldOnceWhileTheCauseLasts)
{
    const auto heldBack = [](int cause) {
        return [cause](DataFileMessages& m) { m.SaveFailed({Problem::HeldBack, Path, {}, cause}); };
    };
    RunSteps({
        {[](DataFileMessages& m) {
             m.LoadFailed({Path, EACCES, {}, {}, EACCES});
         },
         {Fehler + QStringLiteral("Fehler: Konnte Datei nicht öffnen!")}},
        {heldBack(EACCES), {}},
        {heldBack(EACCES), {}},
        {heldBack(EIO),
         {Fehler + QStringLiteral("Die Datei „/daten/termine.dat“ lässt sich nicht sichern "
                                  "(Ein-/Ausgabefehler). Sie wird darum nicht überschrieben, "
                                  "und Änderungen werden nicht gespeichert, bis sie gesichert "
                                  "werden kann.")}},
        {heldBack(EIO), {}},
        {[](DataFileMessages& m) { m.CopyKept(QStringLiteral("/daten/termine.dat.bak")); },
         {Fehler + CopyText}},
    });
    // The one message names the file and the cause in words.
    DataFileMessages messages;
    ScriptedMessageBoxes boxes;
    messages.LoadFailed({Path, EACCES, {}, {}, EACCES});
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(
        boxes.shown()[0].text.contains(QStringLiteral("„/daten/termine.dat“ kann nicht gelesen werden "
                                                      "(keine Berechtigung)")))
        << boxes.shown()[0].text.toStdString();
}

// A device that takes nothing: every save through it fails.
class RefusingDevice : public QIODevice
{
public:
    RefusingDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

class WindowSaves : public ::testing::Test
{
protected:
    WindowSaves() : clock(At(2024, 1, 5, 10, 0))
    {
        dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    }
    ~WindowSaves() override { dw::SetModuleFileNameForTesting(QString()); }

    // Counts the writes of the window's data file; failing ones when failing is set.
    void CountWrites(TMainForm& form)
    {
        form.core().dataFile().setWriteFilter([this](QIODevice*) -> std::unique_ptr<QIODevice> {
            ++writes;
            return failing ? std::make_unique<RefusingDevice>() : nullptr;
        });
    }

    QTemporaryDir dir;
    ScopedFakeClock clock;
    GermanFormats formats;
    ScriptedMessageBoxes boxes;
    int writes = 0;
    bool failing = false;
};

TEST_F(WindowSaves, TheRunningSaveTimerWritesOnlyWhatChanged)
{
    TMainForm form;
    CountWrites(form);
    const QString path = form.DataFileName();
    form.core().Timer1()->setInterval(20);
    form.core().Timer1()->setEnabled(true);
    struct Phase
    {
        const char* what;
        std::function<void()> before;
        int writes;
    };
    const Phase phases[] = {
        {"first tick after start", [] {}, 1},
        {"nothing changed", [] {}, 0},
        {"an edit", [&form] { form.form()->gsek->setValue(45); }, 1},
        {"deleted", [&path] { QFile::remove(path); }, 1},
        {"replaced by another program",
         [&path] {
             QFile::copy(path, path + QStringLiteral(".neu"));
             std::rename(QFile::encodeName(path + QStringLiteral(".neu")).constData(),
                         QFile::encodeName(path).constData());
         },
         1},
    };
    for (const Phase& phase : phases) {
        phase.before();
        const int before = writes;
        QTest::qWait(400); // many ticks
        EXPECT_EQ(writes - before, phase.writes) << phase.what;
        EXPECT_TRUE(QFile::exists(path)) << phase.what;
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(WindowSaves, TicksDuringTheMessageOfAFailedSaveDoNotSave)
{
    TMainForm form;
    CountWrites(form);
    failing = true;
    int shown = 0;
    const dw::MessageBoxHandler previous =
        dw::SetMessageBoxHandler([&](const QString&, const QString&, unsigned) {
            ++shown;
            // Save timer ticks dispatched by the message's modal loop.
            for (int tick = 0; tick < 3; ++tick)
                form.Timer1Timer();
            return int{dw::mrOk};
        });
    form.Timer1Timer();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(writes, 1);
    // Once the message is closed, the next failure is told again.
    form.Timer1Timer();
    EXPECT_EQ(shown, 2);
    dw::SetMessageBoxHandler(previous);
    failing = false;
}

TEST_F(WindowSaves, TheCopyOfADamagedFileExistsBeforeAnyMessage)
{
    const QString path = dir.filePath(QStringLiteral("termine.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, '\xFF'));
    file.close();
    QList<bool> copyThere;
    const dw::MessageBoxHandler previous =
        dw::SetMessageBoxHandler([&](const QString&, const QString&, unsigned) {
            copyThere << QFile::exists(path + QStringLiteral(".bak"));
            return int{dw::mrOk};
        });
    {
        TMainForm form;
    }
    dw::SetMessageBoxHandler(previous);
    EXPECT_EQ(copyThere, (QList<bool>{true, true}));
}

TEST_F(WindowSaves, AnEndOnASignalWhoseSaveFailsShowsNoBoxAndSaysSo)
{
    int failedEnds = 0;
    {
        TMainForm form;
        QObject::connect(&form.core(), &AppCore::endSaveFailed, [&failedEnds] { ++failedEnds; });
        CountWrites(form);
        failing = true;
        form.form()->gsek->setValue(45);
        form.EndFromSignal();
        EXPECT_TRUE(form.core().Terminating());
    }
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(failedEnds, 1);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(WindowSaves, AFileThatCannotBeReadIsToldOnceAndNeverReplaced)
{
    // Root reads every file, so a folder stands in for a file of another user.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    {
        TMainForm form;
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_TRUE(boxes.shown()[0].text.contains(
            QStringLiteral("termine.dat“ kann nicht gelesen werden (ist ein Ordner)")))
            << boxes.shown()[0].text.toStdString();
        form.form()->gsek->setValue(45); // a change the ticks would save
        for (int tick = 0; tick < 5; ++tick)
            form.Timer1Timer();
        EXPECT_EQ(boxes.shown().size(), 1u) << boxes.texts().join(QLatin1Char('|')).toStdString();
    }
    EXPECT_EQ(boxes.shown().size(), 1u) << "ending says nothing new";
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("termine.dat"))).isDir());
}

TEST_F(WindowSaves, TheMainWindowComesUpInTheMiddleOfTheScreen)
{
    TMainForm form;
    form.skipFirstShowCheck(); // no check here
    form.show();
    const QPoint centre = form.screen()->availableGeometry().center();
    EXPECT_LE((form.geometry().center() - centre).manhattanLength(), 4);
}

} // namespace
