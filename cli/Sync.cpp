#include "cli/Sync.h"

#include "core/AppCore.h"
#include "instance/FolderLock.h"
#include "platform/DataFolder.h"
#include "sync/NetLoader.h"
#include "sync/SyncController.h"

#include <QEventLoop>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

namespace dw::cli {

namespace {

QJsonObject SyncRequest(const std::optional<QString>& password)
{
    QJsonObject request{{QStringLiteral("cmd"), QStringLiteral("sync")}};
    // Over the user's own socket, to a copy that may not have it yet; never into a file.
    if (password)
        request.insert(QStringLiteral("password"), *password);
    return request;
}

} // namespace

std::optional<QString> ReadPassword(bool fromStdin, const QString& prompt)
{
    if (!fromStdin && !::isatty(STDIN_FILENO))
        return std::nullopt;
    termios before{};
    const bool terminal = !fromStdin && ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        std::fputs(prompt.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        termios quiet = before;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    // C stdio, not iostream: its static set-up would cost every start of the program memory.
    char* buffer = nullptr;
    std::size_t size = 0;
    const ssize_t length = ::getline(&buffer, &size, stdin);
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        std::fputs("\n", stderr);
    }
    QByteArray line = length > 0 ? QByteArray(buffer, length) : QByteArray();
    std::free(buffer);
    if (length < 0)
        return std::nullopt;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

ImportOutcome SyncFolder(const QString& dataFolder, const std::optional<QString>& password,
                         int answerTimeoutMs)
{
    ImportOutcome outcome;
    // Never two writers: the running copy syncs its own grid, an import under way is waited for.
    FolderLock lock(dataFolder);
    if (std::optional<ImportOutcome> elsewhere = dw::instance::TakeImportTurn(
            lock, dw::InstanceServerName(dataFolder), SyncRequest(password), answerTimeoutMs))
        return *elsewhere;
    AppCore core;
    core.Open(dataFolder);
    dw::sync::SyncController controller(core);
    if (!controller.account().set()) {
        outcome.error = QStringLiteral("Es ist kein Kalender-Server eingerichtet "
                                       "(datumswecker --sync-account ADRESSE BENUTZER).");
        core.Close();
        return outcome;
    }
    if (password)
        controller.setPassword(*password);
    QEventLoop loop;
    QObject::connect(&controller, &dw::sync::SyncController::finished, &loop,
                     [&](const dw::sync::SyncReport& report) {
                         if (report.ok()) {
                             outcome.exitCode = 0;
                             outcome.report = report.text();
                         } else {
                             outcome.error = report.text();
                         }
                         loop.quit();
                     });
    QObject::connect(
        &controller, &dw::sync::SyncController::passwordNeeded, &loop, [&](const QString& reason) {
            if (outcome.error.isEmpty())
                outcome.error =
                    reason + QStringLiteral(" Ohne Schlüsselbund: datumswecker --sync --password-stdin");
            loop.quit();
        });
    controller.syncNow();
    if (outcome.error.isEmpty() && outcome.report.isEmpty())
        loop.exec();
    controller.stop();
    core.Close();
    return outcome;
}

ImportOutcome StoreAccount(const QString& dataFolder, const QString& url, const QString& user,
                           const QString& password)
{
    ImportOutcome outcome;
    if (const QString bad = dw::sync::CheckAddress(url); !bad.isEmpty()) {
        outcome.error = bad;
        return outcome;
    }
    dw::sync::AccountSettings account;
    {
        QSettings settings(ProgramSettingsPath(dataFolder), QSettings::IniFormat);
        account = dw::sync::ReadAccount(settings);
        account.url = url;
        account.user = user;
        dw::sync::WriteAccount(settings, account);
        if (settings.status() != QSettings::NoError) {
            outcome.error =
                QStringLiteral("%1 kann nicht geschrieben werden.").arg(ProgramSettingsPath(dataFolder));
            return outcome;
        }
    }
    outcome.exitCode = 0;
    outcome.report = QStringLiteral("Kalender-Server eingerichtet: %1 (Benutzer %2).").arg(url, user);
    QString error;
    const dw::sync::NetPlugin* plugin = dw::sync::LoadNetPlugin(error);
    bool stored = false;
    if (plugin) {
        std::unique_ptr<dw::sync::SecretStore> secrets(plugin->newSecretStore());
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        secrets->write(dw::sync::SecretKey(account), password, [&](bool ok) {
            stored = ok;
            loop.quit();
        });
        loop.exec();
    }
    outcome.report += stored ? QStringLiteral("\nDas Passwort liegt im Schlüsselbund der Arbeitsumgebung.")
                             : QStringLiteral("\nKein Schlüsselbund erreichbar: das Passwort wurde nicht "
                                              "gespeichert. Das Programm fragt beim Abgleich danach; auf der "
                                              "Kommandozeile: datumswecker --sync --password-stdin");
    return outcome;
}

} // namespace dw::cli
