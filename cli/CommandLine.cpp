#include "cli/CommandLine.h"

#include "cli/Import.h"
#include "cli/StoreAccess.h"
#include "cli/Sync.h"
#include "ical/IcalWriter.h"
#include "light/Reading.h"
#include "series/IcalHelper.h"
#include "series/SeriesFile.h"
#include "store/DataFile.h"
#include "sync/SyncController.h"
#include "sync/SyncFaults.h"

#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "translations/Translations.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>

namespace dw::cli {

namespace {

constexpr int ExitError = 2;

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

int FingerprintMissing(Context& context)
{
    return Usage(context,
                 QCoreApplication::translate("CommandLine", "--trust-certificate braucht einen SHA-256-Fingerabdruck."));
}

QString DataFile(const Context& context)
{
    return DataFilePath(context.dataFolder);
}

// The reading options run on the plain side, the same code the light datumswecker program runs.
int Reading(const QStringList& arguments, Context& context)
{
    std::vector<std::string> args;
    for (const QString& a : arguments)
        args.push_back(a.toStdString());
    // Here libical serves the series that the light program hands over.
    dw::series::InstallIcalHelper();
    dw::reading::Output output;
    const int status = dw::reading::Run(args, context.dataFolder.toStdString(), dw::Now(), output);
    context.out += QString::fromStdString(output.out);
    context.err += QString::fromStdString(output.err);
    return status == dw::reading::HandOver ? ExitError : status;
}

int Export(const QStringList& args, Context& context)
{
    if (args.size() != 1)
        return Usage(context, QCoreApplication::translate(
                                  "CommandLine",
                                  "--export braucht genau eine Datei (oder - für die Standardausgabe)."));
    CalendarGrid grid;
    dw::series::SeriesSet series;
    QString error;
    dw::series::InstallIcalHelper();
    if (!ReadStore(DataFile(context), grid, error) ||
        !ReadSeriesFile(SeriesFilePath(context.dataFolder), series, error))
        return Fail(context, error);
    const QByteArray calendar = dw::ical::WriteCalendar(grid, series, dw::Now());
    if (args[0] == QLatin1String("-")) {
        context.out += QString::fromUtf8(calendar);
        return 0;
    }
    QSaveFile file(args[0]);
    if (!file.open(QIODevice::WriteOnly) || file.write(calendar) != calendar.size() || !file.commit())
        return Fail(
            context,
            QCoreApplication::translate("CommandLine", "%1 kann nicht geschrieben werden.").arg(args[0]));
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
        return Usage(context,
                     QCoreApplication::translate("CommandLine", "--import braucht genau eine Datei."));
    return Outcome(ImportFile(context.dataFolder, args[0], context.answerTimeoutMs, context.importBounds),
                   context);
}

int Sync(const QStringList& args, Context& context)
{
    std::optional<QString> password;
    for (const QString& a : args) {
        if (a != QLatin1String("--password-stdin"))
            return Usage(context, QCoreApplication::translate("CommandLine", "Unbekannte Option: %1").arg(a));
        password = ReadPassword(true, {});
        if (!password)
            return Fail(context,
                        QCoreApplication::translate(
                            "CommandLine", "--password-stdin: auf der Standardeingabe steht kein Passwort."));
    }
    return Outcome(SyncFolder(context.dataFolder, password, context.answerTimeoutMs), context);
}

int SyncAccount(const QStringList& args, Context& context)
{
    QStringList rest = args;
    const bool fromStdin = rest.removeAll(QStringLiteral("--password-stdin")) > 0;
    QByteArray certificate;
    if (const qsizetype at = rest.indexOf(QStringLiteral("--trust-certificate")); at >= 0) {
        if (at + 1 >= rest.size())
            return FingerprintMissing(context);
        certificate = dw::sync::FingerprintFrom(rest[at + 1]);
        if (certificate.isEmpty())
            return Fail(context,
                        QCoreApplication::translate("CommandLine", "„%1“ ist kein SHA-256-Fingerabdruck.")
                            .arg(rest[at + 1]));
        rest.remove(at, 2);
    }
    if (rest.size() != 2 || rest[0].startsWith(QLatin1String("--")) ||
        rest[1].startsWith(QLatin1String("--")))
        return Usage(context, QCoreApplication::translate("CommandLine",
                                                          "--sync-account braucht ADRESSE und BENUTZER."));
    if (const QString bad = dw::sync::CheckAddress(rest[0]); !bad.isEmpty())
        return Fail(context, bad);
    const std::optional<QString> password =
        ReadPassword(fromStdin, QCoreApplication::translate("CommandLine", "Passwort für %1: ").arg(rest[1]));
    if (!password || password->isEmpty())
        return Fail(context,
                    fromStdin
                        ? QCoreApplication::translate(
                              "CommandLine", "--password-stdin: auf der Standardeingabe steht kein Passwort.")
                        : QCoreApplication::translate(
                              "CommandLine", "Kein Passwort eingegeben (ohne Terminal: --password-stdin)."));
    return Outcome(StoreAccount(context.dataFolder, rest[0], rest[1], *password, certificate), context);
}

int TrustCommand(const QStringList& args, Context& context)
{
    if (args.size() != 1)
        return FingerprintMissing(context);
    return Outcome(dw::cli::TrustCertificate(context.dataFolder, args[0]), context);
}

} // namespace

QString HelpText()
{
    return QString::fromStdString(dw::reading::HelpText());
}

int Run(const QStringList& arguments, Context& context)
{
    if (arguments.isEmpty())
        return Usage(context, QCoreApplication::translate("CommandLine", "Keine Option angegeben."));
    const QString& command = arguments.front();
    const QStringList rest = arguments.mid(1);
    // One line per option served on the Qt side.
    if (dw::reading::Serves(command.toStdString()))
        return Reading(arguments, context);
    if (command == QLatin1String("--export"))
        return Export(rest, context);
    if (command == QLatin1String("--import"))
        return Import(rest, context);
    if (command == QLatin1String("--sync"))
        return Sync(rest, context);
    if (command == QLatin1String("--sync-account"))
        return SyncAccount(rest, context);
    if (command == QLatin1String("--trust-certificate"))
        return TrustCommand(rest, context);
    return Usage(context, QCoreApplication::translate("CommandLine", "Unbekannte Option: %1").arg(command));
}

bool IsCommandLine(int argc, const char* const* argv)
{
    return dw::reading::IsCommandLine(argc, argv);
}

int RunCommandLine(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    InstallTranslations(app, false);
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
