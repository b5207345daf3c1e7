#include "cli/Sync.h"

#include "core/AppCore.h"
#include "instance/FolderLock.h"
#include "platform/DataFolder.h"
#include "sync/AccountCheck.h"
#include "sync/NetLoader.h"
#include "sync/SyncController.h"

#include <QCoreApplication>
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

// Writes the account into the settings file; the German reason where that failed.
QString Write(const QString& dataFolder, QSettings& settings, const dw::sync::AccountSettings& account)
{
    dw::sync::WriteAccount(settings, account);
    return settings.status() == QSettings::NoError
               ? QString()
               : QCoreApplication::translate("Sync", "%1 kann nicht geschrieben werden.")
                     .arg(ProgramSettingsPath(dataFolder));
}

} // namespace

std::optional<QString> ReadPassword(bool fromStdin, const QString& prompt)
{
    if (!fromStdin && !::isatty(STDIN_FILENO))
        return std::nullopt;
    termios before{};
    const bool terminal = !fromStdin && ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        // Echo off (and what was typed ahead dropped) before the prompt, so that
        // nothing typed after it is lost or shown.
        termios quiet = before;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        std::fputs(prompt.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
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
        outcome.error =
            QCoreApplication::translate("Sync", "Es ist kein Kalender-Server eingerichtet "
                                                "(datumswecker --sync-account ADRESSE BENUTZER).");
        core.Close();
        return outcome;
    }
    if (password)
        controller.setPassword(*password);
    // On a terminal the password is asked for, as often as the server refuses one (three times at most).
    int asked = 0;
    const bool terminal = !password && ::isatty(STDIN_FILENO);
    QEventLoop loop;
    QObject::connect(
        &controller, &dw::sync::SyncController::finished, &loop, [&](const dw::sync::SyncReport& report) {
            // A refused password is asked for again (passwordNeeded follows).
            if (terminal && report.fault == dw::sync::SyncReport::Fault::Unauthorized && asked < 3)
                return;
            if (report.ok()) {
                outcome.exitCode = 0;
                outcome.report = report.fullText();
            } else {
                outcome.error = report.fullText();
            }
            loop.quit();
        });
    QObject::connect(
        &controller, &dw::sync::SyncController::passwordNeeded, &loop, [&](const QString& reason) {
            if (terminal && asked < 3) {
                ++asked;
                QTimer::singleShot(0, &loop, [&, reason] {
                    if (asked > 1)
                        std::fprintf(stderr, "%s\n", reason.toLocal8Bit().constData());
                    const std::optional<QString> typed =
                        ReadPassword(false, QCoreApplication::translate("Sync", "Passwort für %1: ")
                                                .arg(controller.account().user));
                    if (!typed || typed->isEmpty()) {
                        outcome.error = QCoreApplication::translate("Sync", "Kein Passwort eingegeben.");
                        return loop.quit();
                    }
                    controller.setPassword(*typed);
                    controller.syncNow();
                });
                return;
            }
            if (outcome.error.isEmpty())
                outcome.error =
                    reason + QCoreApplication::translate(
                                 "Sync", " Ohne Schlüsselbund: datumswecker --sync --password-stdin");
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
                           const QString& password, const QByteArray& certificate)
{
    ImportOutcome outcome;
    if (const QString bad = dw::sync::CheckAddress(url); !bad.isEmpty()) {
        outcome.error = bad;
        return outcome;
    }
    QString error;
    const dw::sync::NetPlugin* plugin = dw::sync::LoadNetPlugin(error);
    if (!plugin) {
        outcome.error = error;
        return outcome;
    }
    // Tried before it is kept: an address or password that does not work is never saved.
    dw::sync::SyncReport found;
    {
        std::unique_ptr<dw::sync::Transport> transport(plugin->newTransport(30000));
        dw::sync::AccountCheck check(*transport);
        QEventLoop loop;
        check.run({QUrl(url), user, password, certificate}, [&](const dw::sync::SyncReport& report) {
            found = report;
            loop.quit();
        });
        loop.exec();
    }
    if (!found.ok()) {
        outcome.error = found.text() + QCoreApplication::translate(
                                           "Sync", "\nDer Kalender-Server wurde nicht eingerichtet.");
        return outcome;
    }
    dw::sync::AccountSettings account;
    {
        QSettings settings(ProgramSettingsPath(dataFolder), QSettings::IniFormat);
        account = dw::sync::ReadAccount(settings);
        account.url = url;
        account.user = user;
        account.certificate = certificate;
        outcome.error = Write(dataFolder, settings, account);
        if (!outcome.error.isEmpty())
            return outcome;
    }
    outcome.exitCode = 0;
    outcome.report =
        QCoreApplication::translate("Sync", "Kalender-Server eingerichtet: %1 (Benutzer %2).\nKalender: %3")
            .arg(url, user, found.calendar);
    bool stored = false;
    std::unique_ptr<dw::sync::SecretStore> secrets(plugin->newSecretStore());
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    secrets->write(dw::sync::SecretKey(account), password, [&](bool ok) {
        stored = ok;
        loop.quit();
    });
    loop.exec();
    outcome.report +=
        stored ? QCoreApplication::translate("Sync",
                                             "\nDas Passwort liegt im Schlüsselbund der Arbeitsumgebung.")
               : QCoreApplication::translate("Sync",
                                             "\nKein Schlüsselbund erreichbar: das Passwort wurde nicht "
                                             "gespeichert. Das Programm fragt beim Abgleich danach; auf der "
                                             "Kommandozeile: datumswecker --sync --password-stdin");
    return outcome;
}

ImportOutcome TrustCertificate(const QString& dataFolder, const QString& fingerprint)
{
    ImportOutcome outcome;
    const QByteArray sha256 = dw::sync::FingerprintFrom(fingerprint);
    if (sha256.isEmpty()) {
        outcome.error = QCoreApplication::translate(
                            "Sync", "„%1“ ist kein SHA-256-Fingerabdruck (64 Hexadezimalziffern, wie sie "
                                    "die Ablehnung des Zertifikats nennt).")
                            .arg(fingerprint);
        return outcome;
    }
    QSettings settings(ProgramSettingsPath(dataFolder), QSettings::IniFormat);
    dw::sync::AccountSettings account = dw::sync::ReadAccount(settings);
    if (!account.set()) {
        outcome.error = QCoreApplication::translate(
            "Sync", "Es ist kein Kalender-Server eingerichtet "
                    "(datumswecker --sync-account ADRESSE BENUTZER --trust-certificate SHA256).");
        return outcome;
    }
    account.certificate = sha256;
    outcome.error = Write(dataFolder, settings, account);
    if (!outcome.error.isEmpty())
        return outcome;
    outcome.exitCode = 0;
    outcome.report = QCoreApplication::translate(
                         "Sync", "Dem Zertifikat %1 wird für %2 vertraut; ein anderes wird wieder abgelehnt.")
                         .arg(dw::sync::FingerprintText(sha256), account.url);
    return outcome;
}

} // namespace dw::cli
