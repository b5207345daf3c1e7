#include "cli/CommandLine.h"

#include "cli/Agenda.h"
#include "cli/Import.h"
#include "cli/StoreAccess.h"
#include "cli/Sync.h"
#include "ical/IcalWriter.h"
#include "store/DataFile.h"
#include "sync/SyncController.h"

#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "platform/RegionalFormats.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>
#include <ctime>
#include <optional>

namespace dw::cli {

namespace {

constexpr int DefaultDays = 7;
constexpr int ExitError = 2;

// The user's regional short date or ISO YYYY-MM-DD.
std::optional<QDate> ParseDate(const QString& text)
{
    const QDate iso = QDate::fromString(text, Qt::ISODate);
    if (iso.isValid() && text.size() == 10)
        return iso;
    std::tm tm{};
    const QByteArray bytes = text.toLocal8Bit();
    const char* end =
        ::strptime(bytes.constData(), dw::CurrentFormats().shortDate.toLocal8Bit().constData(), &tm);
    if (!end || *end != '\0')
        return std::nullopt;
    const QDate date(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

int Fail(Context& context, const QString& text)
{
    context.err += text + QLatin1Char('\n');
    return ExitError;
}

int Usage(Context& context, const QString& text)
{
    context.err += text + QStringLiteral("\n\n") + HelpText();
    return ExitError;
}

QString DataFile(const Context& context)
{
    return DataFilePath(context.dataFolder);
}

int Agenda(const QStringList& args, Context& context)
{
    QDate first = dw::ToQDate(dw::Now());
    int days = DefaultDays;
    bool json = false;
    bool dateGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--days")) {
            bool ok = false;
            days = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
            if (!ok || days < 1 || days > CalendarGrid::TotalDays)
                return Usage(
                    context,
                    QStringLiteral("--days braucht eine Zahl von 1 bis %1.").arg(CalendarGrid::TotalDays));
            ++i;
        } else if (!dateGiven && !a.startsWith(QLatin1String("--"))) {
            const std::optional<QDate> date = ParseDate(a);
            if (!date)
                return Usage(context, QStringLiteral("Unbekanntes Datum: %1 (erwartet %2 oder JJJJ-MM-TT).")
                                          .arg(a, dw::FormatShortDate(dw::EncodeDate(2024, 12, 24))));
            first = *date;
            dateGiven = true;
        } else {
            return Usage(context, QStringLiteral("Unbekannte Option: %1").arg(a));
        }
    }
    StoreScan store;
    QString error;
    if (!store.open(DataFile(context), error))
        return Fail(context, error);
    const std::optional<std::vector<StoredAppointment>> found = AgendaEntries(store, first, days, error);
    if (!found)
        return Fail(context, error);
    const std::vector<StoredAppointment>& entries = *found;
    if (json)
        context.out += AgendaJson(entries);
    else if (entries.empty())
        context.out += QStringLiteral("Keine Termine vom %1 bis %2.\n")
                           .arg(dw::FormatShortDate(dw::FromQDate(first)),
                                dw::FormatShortDate(dw::FromQDate(first.addDays(days - 1))));
    else
        context.out += AgendaText(entries);
    return 0;
}

int Due(const QStringList& args, Context& context)
{
    bool json = false;
    for (const QString& a : args) {
        if (a != QLatin1String("--json"))
            return Usage(context, QStringLiteral("Unbekannte Option: %1").arg(a));
        json = true;
    }
    StoreScan store;
    QString error;
    if (!store.open(DataFile(context), error))
        return Fail(context, error);
    const std::optional<std::vector<StoredAppointment>> due = DueEntries(store, dw::Now(), error);
    if (!due)
        return Fail(context, error);
    context.out += json ? AgendaJson(*due) : AgendaText(*due);
    return due->empty() ? 1 : 0;
}

int Export(const QStringList& args, Context& context)
{
    if (args.size() != 1)
        return Usage(context,
                     QStringLiteral("--export braucht genau eine Datei (oder - für die Standardausgabe)."));
    CalendarGrid grid;
    QString error;
    if (!ReadStore(DataFile(context), grid, error))
        return Fail(context, error);
    const QByteArray calendar = dw::ical::WriteCalendar(grid, dw::Now());
    if (args[0] == QLatin1String("-")) {
        context.out += QString::fromUtf8(calendar);
        return 0;
    }
    QSaveFile file(args[0]);
    if (!file.open(QIODevice::WriteOnly) || file.write(calendar) != calendar.size() || !file.commit())
        return Fail(context, QStringLiteral("%1 kann nicht geschrieben werden.").arg(args[0]));
    return 0;
}

int Outcome(const ImportOutcome& outcome, Context& context)
{
    if (!outcome.report.isEmpty())
        context.out += outcome.report + QLatin1Char('\n');
    if (!outcome.error.isEmpty())
        context.err += outcome.error + QLatin1Char('\n');
    return outcome.exitCode;
}

int Import(const QStringList& args, Context& context)
{
    if (args.size() != 1)
        return Usage(context, QStringLiteral("--import braucht genau eine Datei."));
    return Outcome(ImportFile(context.dataFolder, args[0], context.answerTimeoutMs), context);
}

int Sync(const QStringList& args, Context& context)
{
    std::optional<QString> password;
    for (const QString& a : args) {
        if (a != QLatin1String("--password-stdin"))
            return Usage(context, QStringLiteral("Unbekannte Option: %1").arg(a));
        password = ReadPassword(true, {});
        if (!password)
            return Fail(context,
                        QStringLiteral("--password-stdin: auf der Standardeingabe steht kein Passwort."));
    }
    return Outcome(SyncFolder(context.dataFolder, password, context.answerTimeoutMs), context);
}

int SyncAccount(const QStringList& args, Context& context)
{
    QStringList rest = args;
    const bool fromStdin = rest.removeAll(QStringLiteral("--password-stdin")) > 0;
    if (rest.size() != 2 || rest[0].startsWith(QLatin1String("--")) ||
        rest[1].startsWith(QLatin1String("--")))
        return Usage(context, QStringLiteral("--sync-account braucht ADRESSE und BENUTZER."));
    if (const QString bad = dw::sync::CheckAddress(rest[0]); !bad.isEmpty())
        return Fail(context, bad);
    const std::optional<QString> password =
        ReadPassword(fromStdin, QStringLiteral("Passwort für %1: ").arg(rest[1]));
    if (!password || password->isEmpty())
        return Fail(context,
                    fromStdin
                        ? QStringLiteral("--password-stdin: auf der Standardeingabe steht kein Passwort.")
                        : QStringLiteral("Kein Passwort eingegeben (ohne Terminal: --password-stdin)."));
    return Outcome(StoreAccount(context.dataFolder, rest[0], rest[1], *password), context);
}

} // namespace

QString HelpText()
{
    return QStringLiteral(
        "Aufruf: datumswecker [OPTION]\n"
        "Ohne Option startet das Programm mit seinem Fenster. Mit einer Option läuft es ohne Fenster\n"
        "und endet.\n"
        "\n"
        "  --agenda [DATUM] [--days N] [--json]\n"
        "      Termine ab DATUM (Vorgabe: heute; Datum wie in den Ländereinstellungen oder JJJJ-MM-TT)\n"
        "      für N Tage (Vorgabe: 7), nach Datum und Uhrzeit.\n"
        "      Beispiel: datumswecker --agenda 24.12.2030\n"
        "  --days N\n"
        "      Zu --agenda: wie viele Tage (1 bis 36890).\n"
        "      Beispiel: datumswecker --agenda 2030-12-24 --days 14\n"
        "  --due [--json]\n"
        "      Was eine Prüfung jetzt melden würde; ändert nichts. Exit-Status 0: etwas ist fällig,\n"
        "      1: nichts, 2: Fehler.\n"
        "      Beispiel: datumswecker --due && notify-send \"Termine fällig\"\n"
        "  --json\n"
        "      Zu --agenda und --due: ein JSON-Objekt je Termin und Zeile.\n"
        "      Beispiel: datumswecker --agenda 2030-12-24 --json\n"
        "  --export DATEI.ics\n"
        "      Alle Termine als iCalendar-Datei; - schreibt auf die Standardausgabe.\n"
        "      Beispiel: datumswecker --export termine.ics\n"
        "  --import DATEI.ics\n"
        "      Fügt die Termine einer iCalendar-Datei hinzu (2000–2100); schon vorhandene\n"
        "      (gleicher Tag, gleiche Uhrzeit, gleicher Name) werden übersprungen. Läuft das\n"
        "      Programm, übernimmt es den Import.\n"
        "      Beispiel: datumswecker --import kalender.ics\n"
        "  --sync [--password-stdin]\n"
        "      Gleicht die Termine mit dem eingerichteten Kalender-Server ab (CalDAV). Läuft das\n"
        "      Programm, gleicht es selbst ab. Exit-Status 0: abgeglichen, 2: Fehler.\n"
        "      Beispiel: pass kalender | datumswecker --sync --password-stdin\n"
        "  --sync-account ADRESSE BENUTZER [--password-stdin]\n"
        "      Richtet den Kalender-Server ein: die Adresse des Kalenders (oder des Servers) und den\n"
        "      Benutzer; das Passwort wird im Terminal erfragt oder mit --password-stdin aus der ersten\n"
        "      Zeile der Standardeingabe gelesen und kommt in den Schlüsselbund, nie in eine Datei.\n"
        "      Beispiel: pass kalender | datumswecker --sync-account https://dav.example/anna/kalender/ anna \\\n"
        "                --password-stdin\n"
        "  --password-stdin\n"
        "      Zu --sync und --sync-account: das Passwort aus der ersten Zeile der Standardeingabe.\n"
        "      Beispiel: secret-tool lookup dienst kalender | datumswecker --sync --password-stdin\n"
        "  --help\n"
        "      Diese Hilfe.\n"
        "      Beispiel: datumswecker --help\n");
}

int Run(const QStringList& arguments, Context& context)
{
    if (arguments.isEmpty())
        return Usage(context, QStringLiteral("Keine Option angegeben."));
    const QString& command = arguments.front();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        if (!rest.isEmpty())
            return Usage(context, QStringLiteral("Unbekannte Option: %1").arg(rest.front()));
        context.out += HelpText();
        return 0;
    }
    if (command == QLatin1String("--agenda"))
        return Agenda(rest, context);
    if (command == QLatin1String("--due"))
        return Due(rest, context);
    if (command == QLatin1String("--export"))
        return Export(rest, context);
    if (command == QLatin1String("--import"))
        return Import(rest, context);
    if (command == QLatin1String("--sync"))
        return Sync(rest, context);
    if (command == QLatin1String("--sync-account"))
        return SyncAccount(rest, context);
    return Usage(context, QStringLiteral("Unbekannte Option: %1").arg(command));
}

bool IsCommandLine(int argc, const char* const* argv)
{
    if (argc < 2)
        return false;
    const QByteArray first(argv[1]);
    return first.startsWith("--") || first == "-h" || !first.startsWith('-');
}

int RunCommandLine(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Messages that would open a box go to standard error here.
    const dw::MessageBoxHandler previous =
        dw::SetMessageBoxHandler([](const QString& text, const QString&, unsigned) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(text));
            return static_cast<int>(dw::mrOk);
        });
    Context context;
    context.dataFolder = dw::ResolveDataFolder();
    const int status = Run(app.arguments().mid(1), context);
    std::fwrite(context.out.toUtf8().constData(), 1, static_cast<std::size_t>(context.out.toUtf8().size()),
                stdout);
    std::fflush(stdout);
    std::fputs(context.err.toUtf8().constData(), stderr);
    dw::SetMessageBoxHandler(previous);
    return status;
}

} // namespace dw::cli
