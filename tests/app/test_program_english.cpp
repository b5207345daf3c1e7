// The real program under an English locale: what the window, the reminder
// dialog, its notification and the command line show is English. The other
// program tests drive the German program, as the test programs run under C.
#include "AtSpi.h"
#include "XSession.h"

#include "store/DataFile.h"
#include "tests/store/StoreTestSupport.h"

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

// Texts that the date tree, the list and the check pass make themselves; they
// are translated together with the rest of those folders.
bool MadeByUntranslatedParts(const QString& text)
{
    static const QRegularExpression later(QStringLiteral(
        "^(Jahre|Alle Jahre|Jahr \\d+|\\d+ Termine?|Erinnert: .*|Am .* um .*|\\w\\w \\d+\\.\\S+ \\d+)$"));
    return later.match(text).hasMatch();
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
                if (!MadeByUntranslatedParts(line))
                    texts << line;
    };
    add(window);
    // A tree's rows are dates and appointments, not the program's texts.
    WalkShown(bus, window, [&](const Node& node) {
        add(node);
        return !HoldsRows(RoleName(bus, node));
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

} // namespace

TEST_F(EnglishProgram, WindowReminderNotificationAndCommandLineSpeakEnglish)
{
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

    // The command line: its help, and a mistake with the help after it.
    QProcessEnvironment cliEnv = x().environment();
    for (const auto& [name, value] : EnglishDesktop)
        cliEnv.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    for (const QStringList& args :
         {QStringList{QStringLiteral("--help")}, QStringList{QStringLiteral("--import")}}) {
        QProcess cli;
        cli.setProcessEnvironment(cliEnv);
        cli.start(run.folder() + QStringLiteral("/datumswecker"), args);
        ASSERT_TRUE(cli.waitForFinished(XSession::WaitMs));
        const QStringList lines = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_GT(lines.size(), 10) << args.join(' ').toStdString();
        EXPECT_EQ(Joined(German(lines)), "") << args.join(' ').toStdString();
    }
    EXPECT_EQ(run.terminate(SIGTERM), 0);
}
