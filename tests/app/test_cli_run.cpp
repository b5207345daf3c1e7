#include "app/ImportCommand.h"
#include "app/MainForm.h"
#include "browser/CalendarPage.h"
#include "browser/DateKey.h"
#include "cli/CommandLine.h"
#include "instance/ImportChannel.h"
#include "instance/InstanceChannel.h"
#include "tests/support/TestSupport.h"

#include "core/ReminderCheck.h"
#include "platform/Ansi.h"
#include "platform/DataFolder.h"
#include "platform/ProgramFolder.h"
#include "store/ByteStream.h"
#include "store/TerminFormat.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using dwtest::At;

namespace {

QString IcsPath(const char* name)
{
    return dwtest::SourceDir() + QStringLiteral("/tests/data/ics/") + QLatin1String(name);
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Appointment* Add(CalendarGrid& grid, dw::TDateTime moment, const char* name, double lead = 3.0,
                 double repeat = 1.0, double last = 0.0, std::uint8_t done = 0)
{
    const QDate date = dw::ToQDate(moment);
    Appointment* a = grid.NewAppointment(date.year(), date.month(), date.day());
    EXPECT_TRUE(ReplaceText(a->Name, dw::ToAnsi(QString::fromUtf8(name))));
    a->TimeOfDay = moment - dw::FromQDate(date);
    a->FirstLead = lead;
    a->RepeatInterval = repeat;
    a->LastReminded = last;
    a->Done = done;
    return a;
}

class CommandLineTest : public ::testing::Test
{
protected:
    CommandLineTest() : clock(At(2030, 12, 20, 12, 0)) { context.dataFolder = dir.path() + QLatin1Char('/'); }

    QString DataFile() const { return dir.filePath(QStringLiteral("termine.dat")); }
    void Save(const CalendarGrid& grid)
    {
        QFile file(DataFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ByteStream out(&file);
        WriteTermins(out, grid, StoredSettings{});
    }
    int Run(const QStringList& args)
    {
        context.out.clear();
        context.err.clear();
        return dw::cli::Run(args, context);
    }

    QTemporaryDir dir;
    dwtest::ScopedFakeClock clock;
    dwtest::GermanFormats formats;
    dwtest::ScriptedMessageBoxes boxes;
    dw::cli::Context context;
};

TEST_F(CommandLineTest, HelpListsEveryOptionAndUnknownOptionsGetItWithStatusTwo)
{
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* option :
         {"--agenda", "--days", "--json", "--due", "--export", "--import", "--trust-certificate", "--help"})
        EXPECT_TRUE(context.out.contains(QLatin1String(option))) << option;
    EXPECT_EQ(context.out.count(QStringLiteral("Beispiel: datumswecker")), 8);
    for (const QStringList& args :
         {QStringList{"--bogus"}, QStringList{"--due", "--days"}, QStringList{"--agenda", "31.02.2030"},
          QStringList{"--agenda", "--days", "0"}, QStringList{"--export"}, QStringList{"--import", "a", "b"},
          QStringList{}}) {
        EXPECT_EQ(Run(args), 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(context.err.contains(QStringLiteral("Aufruf: datumswecker")))
            << qPrintable(args.join(' '));
    }
}

TEST(CommandLineChoice, OurOptionsAndStrayWordsRunWithoutAWindowQtOptionsDoNot)
{
    struct Case
    {
        std::vector<const char*> argv;
        bool commandLine;
    } cases[] = {
        {{"datumswecker"}, false},
        {{"datumswecker", "--due"}, true},
        {{"datumswecker", "--unbekannt"}, true},
        {{"datumswecker", "-h"}, true},
        {{"datumswecker", "heute"}, true},
        {{"datumswecker", "-session", "1234"}, false},
        {{"datumswecker", "-platform", "offscreen"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dw::cli::IsCommandLine(static_cast<int>(c.argv.size()), c.argv.data()), c.commandLine)
            << (c.argv.size() > 1 ? c.argv[1] : "");
}

TEST_F(CommandLineTest, AgendaListsDaysInDateAndTimeOrderFromRegionalOrIsoDates)
{
    CalendarGrid grid;
    grid.Build();
    Add(grid, At(2030, 12, 24, 18, 30), "Bescherung");
    Add(grid, At(2030, 12, 24, 9, 0), "Einkaufen");
    ASSERT_TRUE(ReplaceText(grid.Day(2030, 12, 24).at(1)->Description, "Brot\r\nKerzen"));
    Add(grid, At(2030, 12, 20, 8, 0), "Heute früh", 0.5, 0.25, At(2030, 12, 20, 7, 45, 0, 125), 1);
    Add(grid, At(2030, 12, 27, 8, 0), "Zu spät");
    Save(grid);
    const QString expected = QStringLiteral("20.12.2030 08:00:00 Heute früh\n"
                                            "24.12.2030 09:00:00 Einkaufen\n"
                                            "    Brot\n"
                                            "    Kerzen\n"
                                            "24.12.2030 18:30:00 Bescherung\n");
    for (const QStringList& args :
         {QStringList{"--agenda"}, QStringList{"--agenda", "20.12.2030", "--days", "7"},
          QStringList{"--agenda", "2030-12-20"}}) {
        EXPECT_EQ(Run(args), 0);
        EXPECT_EQ(context.out, expected) << qPrintable(args.join(' '));
    }
    EXPECT_EQ(Run({"--agenda", "2030-12-20", "--days", "1", "--json"}), 0);
    EXPECT_EQ(context.out,
              QStringLiteral("{\"date\":\"2030-12-20\",\"description\":\"\",\"done\":true,"
                             "\"lastReminded\":\"2030-12-20T07:45:00.125\",\"leadMinutes\":720,"
                             "\"name\":\"Heute früh\",\"repeatMinutes\":360,\"time\":\"08:00:00\"}\n"));
    EXPECT_EQ(Run({"--agenda", "2031-01-01"}), 0);
    EXPECT_EQ(context.out, QStringLiteral("Keine Termine vom 01.01.2031 bis 07.01.2031.\n"));
}

// Appointments around every bound of the due rule at N = 20.12.2030 12:00.
void FillBounds(CalendarGrid& grid)
{
    const dw::TDateTime n = At(2030, 12, 20, 12, 0);
    const double ms = 1.0 / dw::MSecsPerDay;
    Add(grid, At(2030, 12, 19, 12, 0), "gestern");
    Add(grid, At(2030, 12, 20, 11, 59, 59, 999), "eine ms vorbei");
    Add(grid, n, "genau jetzt");
    Add(grid, n, "genau jetzt, Vorlauf 0", 0.0);
    Add(grid, n, "erledigt", 3.0, 1.0, 0.0, 1);
    Add(grid, At(2030, 12, 23, 12, 0), "Fenster öffnet jetzt");
    Add(grid, At(2030, 12, 23, 12, 0, 0, 1), "Fenster öffnet in 1 ms");
    Add(grid, At(2030, 12, 22, 12, 0), "Wiederholung genau fällig", 3.0, 1.0, n - 1.0);
    Add(grid, At(2030, 12, 22, 12, 0), "Wiederholung 1 ms zu früh", 3.0, 1.0, n - 1.0 + ms);
    Add(grid, At(2030, 12, 22, 12, 0), "letzte vor dem Fenster", 3.0, 10.0, At(2030, 12, 19, 11, 0));
    Add(grid, At(2030, 12, 22, 12, 0), "letzte nach dem Termin", 3.0, 10.0, At(2030, 12, 23, 0, 0));
    Add(grid, At(2030, 12, 22, 12, 0), "Wiederholung 0", 3.0, 0.0, n);
}

TEST_F(CommandLineTest, DueAgreesWithTheCheckPassAndChangesNoByte)
{
    CalendarGrid grid;
    grid.Build();
    FillBounds(grid);
    Save(grid);
    const QByteArray before = Bytes(DataFile());
    const QDateTime modified = QFileInfo(DataFile()).lastModified();

    EXPECT_EQ(Run({"--due"}), 0);
    QStringList printed = context.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : printed)
        line = line.section(QLatin1Char(' '), 2);

    struct Recorder : IReminderDialog
    {
        int ShowReminder(const QString&, const QString& name, const QString&) override
        {
            names << name;
            return dw::mrYes;
        }
        void CancelReminder() override {}
        QStringList names;
    } dialog;
    ReminderCheck check(grid, &dialog);
    check.CheckTermins();
    EXPECT_EQ(printed, dialog.names);
    EXPECT_EQ(dialog.names, (QStringList{"genau jetzt", "genau jetzt, Vorlauf 0", "Wiederholung genau fällig",
                                         "letzte vor dem Fenster", "letzte nach dem Termin", "Wiederholung 0",
                                         "Fenster öffnet jetzt"}));
    EXPECT_EQ(Bytes(DataFile()), before);
    EXPECT_EQ(QFileInfo(DataFile()).lastModified(), modified);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"termine.dat"});

    // A millisecond later the two exact ones are past and the two a millisecond
    // short are due; nothing at all after 2100.
    clock.clock.advanceMSecs(1);
    EXPECT_EQ(Run({"--due", "--json"}), 0);
    EXPECT_EQ(context.out.count(QLatin1Char('\n')), 7);
    EXPECT_FALSE(context.out.contains(QStringLiteral("genau jetzt")));
    EXPECT_TRUE(context.out.contains(QStringLiteral("Fenster öffnet in 1 ms")));
    clock.clock.set(At(2101, 1, 1));
    EXPECT_EQ(Run({"--due"}), 1);
    EXPECT_EQ(context.out, QString());
}

// A series beside termine.dat: the reading options see its occurrences, the
// export writes it as one event, which an import into an empty folder makes
// one series again (and a second import nothing), and a damaged series file is
// refused as a damaged termine.dat is.
TEST_F(CommandLineTest, SeriesAreSeenByTheReadingOptionsAndExportedAsOneEvent)
{
    CalendarGrid grid;
    grid.Build();
    Add(grid, At(2030, 12, 24, 9, 0), "Einkaufen");
    Save(grid);
    QFile series(dir.filePath(QStringLiteral("datumswecker-serien.ics")));
    const QByteArray text = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:s\r\nDTSTART:20301213T100000\r\n"
                            "RRULE:FREQ=WEEKLY;COUNT=4\r\nSUMMARY:Chor\r\nBEGIN:VALARM\r\nTRIGGER:-P8D\r\n"
                            "END:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    ASSERT_TRUE(series.open(QIODevice::WriteOnly) && series.write(text) == text.size());
    series.close();
    EXPECT_EQ(Run({"--agenda"}), 0);
    EXPECT_EQ(context.out, QStringLiteral("20.12.2030 10:00:00 Chor\n24.12.2030 09:00:00 Einkaufen\n"));
    EXPECT_EQ(Run({"--due"}), 0);
    EXPECT_EQ(context.out, QStringLiteral("27.12.2030 10:00:00 Chor\n"));
    EXPECT_EQ(Run({"--export", "-"}), 0);
    EXPECT_EQ(context.out.count(QStringLiteral("BEGIN:VEVENT")), 2);
    EXPECT_EQ(context.out.count(QStringLiteral("RRULE:FREQ=WEEKLY;COUNT=4")), 1);

    const QString exported = dir.filePath(QStringLiteral("export.ics"));
    ASSERT_EQ(Run({"--export", exported}), 0);
    QTemporaryDir other;
    context.dataFolder = other.path() + QLatin1Char('/');
    ASSERT_EQ(Run({"--import", exported}), 0) << qPrintable(context.err);
    EXPECT_TRUE(context.out.startsWith(QStringLiteral("Serien hinzugefügt: 1\nHinzugefügt: 1\n")))
        << qPrintable(context.out);
    EXPECT_EQ(Bytes(other.filePath(QStringLiteral("datumswecker-serien.ics"))).count("BEGIN:VEVENT"), 1);
    EXPECT_EQ(Run({"--agenda"}), 0);
    EXPECT_EQ(context.out, QStringLiteral("20.12.2030 10:00:00 Chor\n24.12.2030 09:00:00 Einkaufen\n"));
    const QByteArray imported = Bytes(other.filePath(QStringLiteral("datumswecker-serien.ics")));
    ASSERT_EQ(Run({"--import", exported}), 0);
    EXPECT_TRUE(context.out.startsWith(QStringLiteral("Hinzugefügt: 0\nÜbersprungen, schon vorhanden: 2")))
        << qPrintable(context.out);
    EXPECT_EQ(Bytes(other.filePath(QStringLiteral("datumswecker-serien.ics"))), imported);
    context.dataFolder = dir.path() + QLatin1Char('/');

    ASSERT_TRUE(series.open(QIODevice::WriteOnly) && series.write(text.left(60)) == 60);
    series.close();
    for (const QStringList& args :
         {QStringList{"--agenda"}, QStringList{"--due"}, QStringList{"--export", "-"}}) {
        EXPECT_EQ(Run(args), 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(context.err.contains(QStringLiteral("datumswecker-serien.ics ist beschädigt")))
            << qPrintable(context.err);
    }
    EXPECT_EQ(Bytes(series.fileName()), text.left(60));
}

// The reading options walk the file themselves; they must accept and refuse
// exactly what the program's reader does.
TEST_F(CommandLineTest, ReadingOptionsJudgeTheFileAsTheProgramDoesAndTouchNothing)
{
    CalendarGrid grid;
    grid.Build();
    Add(grid, At(2030, 12, 20, 12, 0), "Name");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        ByteStream out(&buffer);
        WriteTermins(out, grid, StoredSettings{});
    }
    const QByteArray valid = buffer.data();
    const int first = (At(2030, 12, 20) - At(2000, 1, 1)) * 4; // the count of that day
    const auto with = [&](int at, QByteArray bytes) {
        return QByteArray(valid).replace(at, bytes.size(), bytes);
    };
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool readable;
    } cases[] = {
        {"whole", valid, true},
        {"bytes after the settings", valid + "xyz", true},
        {"negative count", with(0, QByteArray("\xff\xff\xff\xff", 4)), true},
        {"zero byte in the name", with(first + 4 + 33 + 4 + 2, QByteArray(1, '\0')), true},
        {"only zero counts", QByteArray(1000, '\0'), false},
        {"ends in the settings", valid.chopped(1), false},
        {"ends in a record", valid.left(first + 4 + 20), false},
        {"negative name length", with(first + 4 + 33, QByteArray("\xff\xff\xff\xff", 4)), false},
        {"name longer than the file", with(first + 4 + 33, QByteArray("\x00\x00\x00\x7f", 4)), false},
    };
    for (const Case& c : cases) {
        QFile file(DataFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        QBuffer in;
        in.setData(c.bytes);
        in.open(QIODevice::ReadOnly);
        CalendarGrid loaded;
        bool complete = false;
        try {
            ByteStream stream(&in);
            complete = ReadTermins(stream, loaded).complete;
        } catch (const std::exception&) {
        }
        EXPECT_EQ(complete, c.readable) << c.what;
        for (const QStringList& args : {QStringList{"--due"}, QStringList{"--agenda", "2030-12-20"}}) {
            const int status = Run(args);
            EXPECT_EQ(status == 2, !c.readable) << c.what << " " << qPrintable(args.join(' '));
            EXPECT_EQ(context.err.contains(QStringLiteral("beschädigt")), !c.readable) << c.what;
        }
        EXPECT_EQ(Bytes(DataFile()), c.bytes) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"termine.dat"}) << c.what;
    }
}

TEST_F(CommandLineTest, ImportWritesOnceAndLeavesTheStoreAloneOnBadFiles)
{
    // The lock of a copy that died is no running copy: the import goes ahead and leaves no lock behind.
    QFile stale(dw::InstanceLockPath(context.dataFolder));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("999999999\ndatumswecker\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_EQ(Run({"--import", IcsPath("timezones.ics")}), 0);
    EXPECT_TRUE(context.out.contains(QStringLiteral("Hinzugefügt: 2"))) << qPrintable(context.out);
    const QByteArray once = Bytes(DataFile());
    EXPECT_EQ(once.size(), EmptyTerminsSize + 2 * 41 + 16 + 18);

    EXPECT_EQ(Run({"--import", IcsPath("timezones.ics")}), 0);
    EXPECT_TRUE(context.out.contains(QStringLiteral("Übersprungen, schon vorhanden: 2")));
    for (const char* bad : {"damaged.ics", "bad_date.ics", "not_calendar.ics", "missing.ics"}) {
        EXPECT_EQ(Run({"--import", IcsPath(bad)}), 2) << bad;
        EXPECT_TRUE(context.err.contains(QLatin1String(bad))) << qPrintable(context.err);
    }
    EXPECT_EQ(Bytes(DataFile()), once);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"termine.dat"});

    // The export holds what was imported.
    EXPECT_EQ(Run({"--export", dir.filePath("aus.ics")}), 0);
    EXPECT_TRUE(Bytes(dir.filePath("aus.ics")).contains("SUMMARY:Sommer in New York"));
}

// Past any bound of its budget an import stops, says which bound it reached
// and how far it came, and leaves termine.dat as it was.
TEST_F(CommandLineTest, AnImportPastABoundOfItsBudgetSaysWhichAndKeepsNothing)
{
    CalendarGrid grid;
    grid.Build();
    Add(grid, At(2024, 1, 9, 9, 0), "Vorher");
    Save(grid);
    const QByteArray before = Bytes(DataFile());
    struct Case
    {
        const char* file;
        dw::ical::Bounds bounds;
        const char* text;
    } cases[] = {
        {"utc.ics", {.inputBytes = 100}, "Grenze erreicht: mehr als 100 Bytes Eingabe. Nichts"},
        {"folded.ics",
         {.lineBytes = 60},
         "Zeile 11: Die Zeile ist zu lang (mehr als 60 Bytes). Bis dahin gelesen: Ereignisse 0"},
        {"utc.ics", {.wallSeconds = -1}, "Sekunden für den ganzen Durchgang"},
        {"utc.ics", {.seconds = -1}, "Sekunden Rechenzeit"},
        {"changed_occurrences.ics", {.exceptionsPerEvent = 2}, "mehr als 2 geänderte Wiederholungen"},
        {"changed_occurrences.ics", {.appointments = 1}, "mehr als 1 Termine in einem Durchgang"},
        // One appointment, and the series with its changes, which is one more thing added.
        {"changed_occurrences.ics",
         {.added = 1},
         "mehr als 1 neue Termine in einem Durchgang. Bis dahin geprüft: 1 von 1 Terminen und 1 von 1 "
         "Serien der Datei"},
    };
    for (const Case& c : cases) {
        context.importBounds = c.bounds;
        EXPECT_EQ(Run({"--import", IcsPath(c.file)}), 2) << c.text;
        EXPECT_TRUE(context.err.contains(QString::fromUtf8(c.text)) &&
                    context.err.contains(QStringLiteral("ichts wurde importiert.")))
            << qPrintable(context.err);
        EXPECT_EQ(Bytes(DataFile()), before) << c.text;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"termine.dat"});
    context.importBounds = {};
    EXPECT_EQ(Run({"--import", IcsPath("changed_occurrences.ics")}), 0);
    EXPECT_TRUE(context.out.contains(QStringLiteral("Serien hinzugefügt: 1\nHinzugefügt: 1\n")) &&
                context.out.contains(QStringLiteral("Abgesagt, nicht übernommen: 1")))
        << qPrintable(context.out);
}

// What the window tells about a damaged file the command line tells too, in
// German; what a killed import left behind the next import removes.
TEST_F(CommandLineTest, AnImportIntoADamagedStoreSaysSoAndCleansUpAfterAKilledOne)
{
    CalendarGrid grid;
    grid.Build();
    for (int day = 1; day <= 3; ++day)
        Add(grid, At(2030, 12, day, 9, 0), "Alt");
    Save(grid);
    QFile file(DataFile());
    ASSERT_TRUE(file.resize(file.size() - 1)); // the settings cut short
    const QStringList left{"termine.dat.~datumswecker-Ab12Cd.tmp", "termine.dat.~fremd.tmp"};
    for (const QString& name : left) {
        QFile leftover(dir.filePath(name));
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(Run({"--export", "-"}), 2);
    EXPECT_TRUE(context.err.contains(QStringLiteral("beschädigt (sie endet vor ihrem Inhalt)")))
        << qPrintable(context.err);

    EXPECT_EQ(Run({"--import", IcsPath("utc.ics")}), 0);
    EXPECT_TRUE(context.out.contains(QStringLiteral("termine.dat war beschädigt: 3 Termine ließen sich lesen"
                                                    " und bleiben; die ganze Datei ist als termine.dat.bak "
                                                    "gesichert.\nHinzugefügt: 2")))
        << qPrintable(context.out);
    EXPECT_TRUE(QFile::exists(dir.filePath("termine.dat.bak")));
    EXPECT_FALSE(QFile::exists(dir.filePath(left[0])));
    EXPECT_TRUE(QFile::exists(dir.filePath(left[1])));
}

// Runs the command line on a thread of its own while this one serves the channel.
int RunBeside(const QStringList& args, dw::cli::Context& context)
{
    std::atomic<bool> finished = false;
    int status = -1;
    std::thread runner([&] {
        status = dw::cli::Run(args, context);
        finished = true;
    });
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    runner.join();
    return status;
}

TEST_F(CommandLineTest, WithARunningCopyTheImportGoesToItsWindow)
{
    dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    {
        TMainForm form;
        QLockFile held(dw::InstanceLockPath(context.dataFolder));
        ASSERT_TRUE(held.tryLock(0));

        // Nobody listens: the user is told to end the program; nothing is written.
        context.answerTimeoutMs = 2000;
        EXPECT_EQ(RunBeside({"--import", IcsPath("utc.ics")}, context), 2);
        EXPECT_TRUE(context.err.contains(QStringLiteral("beenden Sie das Programm")))
            << qPrintable(context.err);
        EXPECT_FALSE(QFile::exists(DataFile()));

        InstanceServer server;
        ASSERT_TRUE(server.listen(dw::InstanceServerName(context.dataFolder)));
        server.registerCommand(QStringLiteral("import"), [&form](const QJsonObject& request) {
            return HandleImportCommand(form.core(), request);
        });
        context.err.clear();
        form.CalendarPage()->SelectNode(MakeKey(2024, 7, 1));
        auto* list = form.CalendarPage()->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        ASSERT_TRUE(list);
        EXPECT_TRUE(list->findItems(QStringLiteral("Mittag in UTC"), Qt::MatchExactly, 1).isEmpty());
        EXPECT_EQ(RunBeside({"--import", IcsPath("utc.ics")}, context), 0);
        EXPECT_TRUE(context.out.contains(QStringLiteral("Hinzugefügt: 2"))) << qPrintable(context.err);
        EXPECT_EQ(form.core().grid().Day(2024, 7, 1).count(), 1u);
        // The day on show lists the new appointment at once.
        EXPECT_TRUE(list->findItems(QStringLiteral("Mittag in UTC"), Qt::MatchExactly, 1).size() == 1);
        EXPECT_TRUE(QFile::exists(DataFile()));

        context.out.clear();
        EXPECT_EQ(RunBeside({"--import", IcsPath("bad_date.ics")}, context), 2);
        EXPECT_TRUE(context.err.contains(QStringLiteral("Zeile 7"))) << qPrintable(context.err);
        EXPECT_EQ(HandleImportCommand(form.core(), {{"cmd", "import"}, {"file", "relativ.ics"}})
                      .value("exit")
                      .toInt(),
                  2);
    }
    dw::SetModuleFileNameForTesting(QString());
}

} // namespace
