// The real program under an English locale: what the window, its pages and
// questions, the reminder dialog, its notification and the command line show is English. The other
// program tests drive the German program, as the test programs run under C.
#include "AtSpi.h"
#include "XSession.h"

#include "store/DataFile.h"
#include "tests/store/StoreTestSupport.h"

#include "MainWindowGeometry.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;
using namespace dwtest::atspi;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");

// German letters, and words that only a German text of the program has. The
// program's name is a name in every language.
bool LooksGerman(QString text)
{
    static const QRegularExpression german(
        QStringLiteral(
            "[äöüÄÖÜß„“]|\\b(und|oder|der|die|das|den|dem|des|ein|eine|keine?|nicht|nie|mit|für|von|zu|"
            "auf|aus|bei|nach|noch|nur|ist|wird|werden|sind|Sie|alle|Termin(?!al)\\w*|\\w*erinner\\w*|"
            "Datei|Einstellung\\w*|beenden|Uhrzeit|Stunden?|Minuten|Sekunden|Tage|Jahre?|abbrechen|"
            "Hilfe|Fehler|Aufruf|Beispiel|anzeigen|verbergen|Ende|Ja|Nein|allgemein|Beschreibung|Zeit|"
            "Kalender|minimieren|zurücksetzen|prüfen|aller|starten|hinzufügen|löschen|verwalten|"
            "Ebene|Abgleich\\w*|Passwort|Benutzer\\w*|Adresse|angegeben)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    text.remove(QStringLiteral("Datumswecker"));
    return german.match(text).hasMatch();
}

// Every name and description a screen reader finds in the window, the window's
// own first.
QStringList ShownTexts(QDBusConnection& bus, const Node& window)
{
    QStringList texts;
    const auto add = [&](const Node& node) {
        for (const char* property : {"Name", "Description"})
            for (const QString& line : Property(bus, node, QString::fromLatin1(property))
                                           .toString()
                                           .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                texts << line;
    };
    add(window);
    // A tree's rows are dates and appointments, not the program's texts.
    WalkShown(bus, window, [&](const Node& node) {
        add(node);
        const QString role = RoleName(bus, node);
        // What a text box holds: the sync's report, the name typed.
        if (role == QLatin1String("text")) {
            const QDBusMessage text =
                Call(bus, node, QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("GetText"), {0, -1});
            if (text.type() == QDBusMessage::ReplyMessage)
                texts << text.arguments().value(0).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        return !HoldsRows(role);
    });
    return texts;
}

QStringList German(const QStringList& texts)
{
    QStringList german;
    for (const QString& text : texts)
        if (LooksGerman(text))
            german << text;
    return german;
}

// The desktop's language as a user's session sets it; no English locale need be
// installed for it. The session hands the test's own C locale on, and an empty
// variable counts as unset.
const std::pair<const char*, const char*> EnglishDesktop[] = {
    {"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "en_US.UTF-8"}};

std::string Joined(const QStringList& texts)
{
    return texts.join(QStringLiteral(" | ")).toStdString();
}

class EnglishProgram : public RealProgramTest
{
protected:
    static void SetUpTestSuite()
    {
        RealProgramTest::SetUpTestSuite();
        Need("no accessibility bus", [](XSession& x) { return x.startAccessibilityBus(); });
        Need("no notification server",
             [](XSession& x) { return x.startNotificationServer(QStringLiteral("Don't remind again")); });
    }
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a command of the command line prints, as lines.
QStringList CommandOutput(const QProcessEnvironment& env, const QString& program, const QStringList& args,
                          const QByteArray& input = {})
{
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(program, args);
    cli.write(input);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(XSession::WaitMs))
        return {QStringLiteral("(no end)")};
    return QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST_F(EnglishProgram, WindowDialogsNotificationAndCommandLineSpeakEnglish)
{
    const QRect list = ControlRectInMainWindow("ListView1", true);
    const QPoint remove = ControlInMainWindow("DelTerminBtn");
    ASSERT_FALSE(list.isNull() || remove.isNull());
    ProgramRun run(x());
    {
        // One appointment due at the start, and no further check while the test runs.
        std::unique_ptr<CalendarGrid> grid = storetest::NewGrid();
        storetest::Add(*grid, 2024, 3, 15, storetest::Entry().named("Dentist"));
        ScriptedMessageBoxes quiet;
        ASSERT_TRUE(DataFile(run.dataFile()).SaveTermins(*grid, StoredSettings{59, 0, false}));
    }
    run.setNow(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    for (const auto& [name, value] : EnglishDesktop)
        run.setVariable(QString::fromLatin1(name), QString::fromLatin1(value));
    ASSERT_TRUE(run.start());
    QDBusConnection bus =
        QDBusConnection::connectToBus(x().accessibilityBusAddress(), QStringLiteral("english check"));

    // The reminder and the main window behind it.
    const std::optional<Node> reminder = ShownWindow(bus, QStringLiteral("Appointment reminder"));
    ASSERT_TRUE(reminder) << run.output().toStdString();
    const QStringList reminderTexts = ShownTexts(bus, *reminder);
    EXPECT_TRUE(reminderTexts.contains(QStringLiteral("Remind later"))) << Joined(reminderTexts);
    EXPECT_EQ(Joined(German(reminderTexts)), "");
    EXPECT_TRUE(x().screenshot(ScreenshotPath(QStringLiteral("english-reminder.png"))));

    // The notification's button is English: the server's menu picks it by its English label,
    // which answers the dialog too.
    ASSERT_TRUE(PollUntil(
        [] {
            return x().dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}).trimmed() == "1";
        },
        XSession::WaitMs));
    x().dunstctl({QStringLiteral("context")});
    EXPECT_TRUE(x().waitForWindowGone(QStringLiteral("Appointment reminder")));

    const std::optional<Node> main = ShownWindow(bus, MainTitle);
    ASSERT_TRUE(main);
    const QStringList mainTexts = ShownTexts(bus, *main);
    EXPECT_GT(mainTexts.size(), 10) << Joined(mainTexts);
    EXPECT_EQ(Joined(German(mainTexts)), "");
    EXPECT_TRUE(x().screenshot(ScreenshotPath(QStringLiteral("english.png"))));

    // The appointment becomes a weekly series on the page "Repeat", by its English keys.
    const qulonglong window = x().waitForWindow(MainTitle);
    ASSERT_TRUE(x().waitForActiveWindow(window));
    const QPoint origin = ClientAreaOrigin(x(), window);
    const QPoint firstRow = origin + QPoint(list.left() + 40, list.top() + list.height() / 6);
    x().click(firstRow);
    x().key(QStringLiteral("alt+a"));
    x().key(QStringLiteral("alt+p"));
    x().type(QStringLiteral("w"));
    const QString seriesFile = run.folder() + QStringLiteral("/datumswecker-serien.ics");
    ASSERT_TRUE(
        PollUntil([&] { return ReadAll(seriesFile).contains("RRULE:FREQ=WEEKLY"); }, XSession::WaitMs));
    const QStringList seriesTexts = ShownTexts(bus, *main);
    EXPECT_TRUE(seriesTexts.filter(QStringLiteral("Appointment of a series")).size() > 0)
        << Joined(seriesTexts);
    EXPECT_EQ(Joined(German(seriesTexts)), "");

    // Deleting an occurrence asks whether this one alone or the whole series; cancelled.
    x().click(firstRow);
    x().click(origin + remove);
    const std::optional<Node> question = ShownWindow(bus, QStringLiteral("Delete appointments"));
    ASSERT_TRUE(question);
    const QStringList questionTexts = ShownTexts(bus, *question);
    EXPECT_TRUE(questionTexts.contains(QStringLiteral("All appointments of the series")))
        << Joined(questionTexts);
    EXPECT_EQ(Joined(German(questionTexts)), "");
    x().key(QStringLiteral("Escape"));
    ASSERT_TRUE(x().waitForWindowGone(QStringLiteral("Delete appointments")));

    // The settings page with the sync, and a sync that fails: nothing listens on port 1.
    x().click(firstRow);
    x().key(QStringLiteral("ctrl+Tab"));
    x().key(QStringLiteral("alt+a"));
    x().type(QStringLiteral("http://127.0.0.1:1/calendar/"));
    x().key(QStringLiteral("alt+u"));
    x().type(QStringLiteral("anna"));
    x().key(QStringLiteral("alt+p"));
    x().type(QStringLiteral("secret"));
    x().key(QStringLiteral("alt+y"));
    const QString settings = run.folder() + QStringLiteral("/datumswecker.ini");
    ASSERT_TRUE(PollUntil([&] { return ReadAll(settings).contains("lastResult"); }, XSession::WaitMs))
        << run.output().toStdString();
    QStringList settingsTexts;
    ASSERT_TRUE(PollUntil(
        [&] {
            settingsTexts = ShownTexts(bus, *main);
            return settingsTexts.indexOf(QRegularExpression(QStringLiteral("^Last sync: .*"))) >= 0;
        },
        XSession::WaitMs))
        << Joined(settingsTexts);
    EXPECT_TRUE(settingsTexts.contains(QStringLiteral("Sync now"))) << Joined(settingsTexts);
    EXPECT_EQ(Joined(German(settingsTexts)), "");
    EXPECT_TRUE(x().screenshot(ScreenshotPath(QStringLiteral("english-settings.png"))));
    EXPECT_EQ(run.terminate(SIGTERM), 0);

    // The command line, each command a process of its own: its help, its mistakes with the
    // help after them, the readings, an import that fails and a sync that fails.
    QProcessEnvironment cliEnv = x().environment();
    for (const auto& [name, value] : EnglishDesktop)
        cliEnv.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    cliEnv.insert(QStringLiteral("DATUMSWECKER_TEST_NOW"), QStringLiteral("2024-03-15T09:00:00"));
    const QString badCalendar = run.folder() + QStringLiteral("/bad.ics");
    {
        QFile bad(badCalendar);
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Cut off\r\n");
    }
    struct Command
    {
        QStringList args;
        int lines; // at least
    };
    const Command commands[] = {
        {{QStringLiteral("--help")}, 10},
        {{QStringLiteral("--import")}, 10},
        {{QStringLiteral("--agenda"), QStringLiteral("2024-03-15"), QStringLiteral("--days"),
          QStringLiteral("14")},
         2},
        {{QStringLiteral("--agenda"), QStringLiteral("2030-01-01")}, 1},
        {{QStringLiteral("--agenda"), QStringLiteral("soon")}, 10},
        {{QStringLiteral("--due")}, 0},
        {{QStringLiteral("--import"), badCalendar}, 1},
        {{QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, 1},
    };
    for (const Command& c : commands) {
        const QStringList lines =
            CommandOutput(cliEnv, run.folder() + QStringLiteral("/datumswecker"), c.args, "secret\n");
        EXPECT_GE(lines.size(), c.lines) << c.args.join(' ').toStdString();
        EXPECT_EQ(Joined(German(lines)), "") << c.args.join(' ').toStdString();
    }
}
