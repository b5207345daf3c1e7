#pragma once

#include "core/AppCore.h"
#include "sync/DavClient.h"
#include "sync/SyncReport.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace dw::sync {

class SyncEngine;
class SecretStore;

// The account as the program's settings file keeps it (no password there).
struct AccountSettings
{
    QString url;
    QString user;
    int minutes = 15;                 // between two syncs
    int seconds = DefaultPassSeconds; // the most one pass may take; only the file sets it (sync/seconds)
    QByteArray certificate{}; // SHA-256 (hex) of a certificate the person trusts; empty: the system decides
    bool set() const { return !url.isEmpty() && !user.isEmpty(); }
};
AccountSettings ReadAccount(QSettings& settings);
void WriteAccount(QSettings& settings, const AccountSettings& account);
// Empty when the address may be used: https://, or http:// to this computer only.
QString CheckAddress(const QString& url);
// The key of an account's password in the desktop's secret store.
QString SecretKey(const AccountSettings& account);

// When the running program syncs: at start, a few seconds after a change, every
// N minutes and when asked. Nothing of the sync, and no network library, is
// loaded before there is an account and a reason to sync.
class SyncController : public QObject
{
    Q_OBJECT
public:
    explicit SyncController(AppCore& core, QObject* parent = nullptr);
    ~SyncController() override;

    AccountSettings account() const { return m_account; }
    // Stores the account; a changed one syncs at once.
    void setAccount(const AccountSettings& account);
    // Kept for this run and handed to the secret store; never written to a file.
    void setPassword(const QString& password);
    bool hasPassword() const { return !m_password.isEmpty(); }

    // At the program's start: the first sync, when an account is set.
    void begin();
    void syncNow();
    // The program ends: a pass under way is cut off (the next start takes it up).
    void stop();
    bool running() const;
    // What the settings page shows: time and result of the last sync, in German.
    QString lastText() const;
    // (address, name) of the calendars the server offered at the last sync, when it has several.
    QList<std::pair<QString, QString>> calendars() const;
    // Trusts the certificate of this fingerprint for the account and syncs.
    void trustCertificate(const QByteArray& sha256);

    // Until it allows, the merge waits (a reminder or a question is open).
    std::function<bool()> mayChangeGrid;
    // Where the engine looks for the network plugin (tests); empty: beside the program.
    QStringList pluginFolders;

signals:
    void finished(const dw::sync::SyncReport& report);
    // Asked before a sync that has no password (none stored, or the stored one refused).
    void passwordNeeded(const QString& reason);
    void runningChanged(bool running);

private:
    void appointmentEdited(std::uint32_t id, AppCore::Edit edit);
    bool ensureEngine();
    void startWithPassword();
    void done(const SyncReport& report);
    void restartPeriodic();

    AppCore& m_core;
    AccountSettings m_account;
    QString m_password;
    std::unique_ptr<SyncEngine> m_engine;
    std::unique_ptr<SecretStore> m_secrets;
    QTimer m_soon;     // a few seconds after a change
    QTimer m_periodic; // every N minutes
    bool m_askedStore = false;
    bool m_storePassword = false;
    bool m_waitingForStore = false;
};

} // namespace dw::sync
