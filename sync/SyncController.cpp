#include "sync/SyncController.h"

#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/RegionalFormats.h"
#include "sync/NetLoader.h"
#include "sync/SyncEngine.h"
#include "sync/SyncFaults.h"

#include <QCoreApplication>
#include <QSettings>

namespace dw::sync {

namespace {

// A change is sent this long after the last one, so that typing a name is one upload.
constexpr int AfterChangeMs = 4000;
constexpr int StoreAnswerMs = 10000;

} // namespace

AccountSettings ReadAccount(QSettings& settings)
{
    settings.sync();
    AccountSettings a;
    a.url = settings.value(QStringLiteral("sync/url")).toString();
    a.user = settings.value(QStringLiteral("sync/user")).toString();
    a.minutes = std::max(1, settings.value(QStringLiteral("sync/minutes"), 15).toInt());
    a.certificate = FingerprintFrom(settings.value(QStringLiteral("sync/certificate")).toString());
    a.seconds =
        std::clamp(settings.value(QStringLiteral("sync/seconds"), DefaultPassSeconds).toInt(), 1, 86400);
    return a;
}

void WriteAccount(QSettings& settings, const AccountSettings& account)
{
    settings.setValue(QStringLiteral("sync/url"), account.url);
    settings.setValue(QStringLiteral("sync/user"), account.user);
    settings.setValue(QStringLiteral("sync/minutes"), account.minutes);
    if (account.certificate.isEmpty())
        settings.remove(QStringLiteral("sync/certificate"));
    else
        settings.setValue(QStringLiteral("sync/certificate"), FingerprintText(account.certificate));
    settings.sync();
}

QString CheckAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return QCoreApplication::translate("SyncController",
                                           "„%1“ ist keine Adresse eines Servers (https://...).")
            .arg(text);
    if (!SecureOrLoopback(url))
        return QCoreApplication::translate(
            "SyncController", "Unverschlüsselt (http://) wird nur mit diesem Rechner selbst abgeglichen; "
                              "bitte eine https://-Adresse angeben.");
    return {};
}

QString SecretKey(const AccountSettings& account)
{
    return account.user + QLatin1Char('@') + account.url;
}

SyncController::SyncController(AppCore& core, QObject* parent)
    : QObject(parent), m_core(core), m_account(ReadAccount(core.programSettings()))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(AfterChangeMs);
    connect(&m_soon, &QTimer::timeout, this, &SyncController::syncNow);
    connect(&m_periodic, &QTimer::timeout, this, &SyncController::syncNow);
    connect(&core, &AppCore::appointmentEdited, this, &SyncController::appointmentEdited);
    connect(&core, &AppCore::appointmentsAdded, this, [this] {
        if (m_account.set() && !running())
            m_soon.start();
    });
    restartPeriodic();
}

SyncController::~SyncController() = default;

void SyncController::restartPeriodic()
{
    m_periodic.stop();
    if (m_account.set()) {
        m_periodic.setInterval(m_account.minutes * 60000);
        m_periodic.start();
    }
}

void SyncController::setAccount(const AccountSettings& account)
{
    const bool changed = account.url != m_account.url || account.user != m_account.user;
    // The same user on the same server (another of its calendars) keeps the password.
    const bool sameServer =
        account.user == m_account.user && SameOrigin(QUrl(account.url), QUrl(m_account.url));
    m_account = account;
    WriteAccount(m_core.programSettings(), account);
    restartPeriodic();
    if (changed) {
        if (!sameServer) {
            m_password.clear();
            m_askedStore = false;
        }
        m_storePassword = !m_password.isEmpty();
        if (m_engine && !m_engine->running())
            m_engine.reset(); // the next sync starts afresh with the new account
    }
}

void SyncController::setPassword(const QString& password)
{
    if (password == m_password)
        return;
    m_password = password;
    m_storePassword = !password.isEmpty();
    if (m_engine)
        m_engine->setAccount({QUrl(m_account.url), m_account.user, m_password, m_account.certificate,
                              PassBounds(m_account.seconds)});
}

void SyncController::trustCertificate(const QByteArray& sha256)
{
    AccountSettings account = m_account;
    account.certificate = sha256;
    setAccount(account);
    syncNow();
}

QList<std::pair<QString, QString>> SyncController::calendars() const
{
    QList<std::pair<QString, QString>> out;
    const QStringList stored =
        m_core.programSettings().value(QStringLiteral("sync/calendars")).toStringList();
    for (const QString& line : stored)
        out.append({line.section(QLatin1Char('\t'), 0, 0), line.section(QLatin1Char('\t'), 1)});
    return out;
}

void SyncController::appointmentEdited(std::uint32_t, AppCore::Edit edit)
{
    if (m_engine && edit == AppCore::Edit::Deleted)
        m_engine->noteDeleted();
    if (m_account.set())
        m_soon.start();
}

void SyncController::stop()
{
    m_soon.stop();
    m_periodic.stop();
    disconnect(&m_core, nullptr, this, nullptr);
    m_engine.reset();
}

bool SyncController::running() const
{
    return m_waitingForStore || (m_engine && m_engine->running());
}

void SyncController::begin()
{
    if (m_account.set())
        QTimer::singleShot(0, this, &SyncController::syncNow);
}

bool SyncController::ensureEngine()
{
    if (m_engine)
        return true;
    QString error;
    const NetPlugin* plugin = LoadNetPlugin(error, pluginFolders);
    if (!plugin) {
        SyncReport failed;
        failed.fault = SyncReport::Fault::Other;
        failed.error = error;
        done(failed);
        return false;
    }
    m_engine = std::make_unique<SyncEngine>(m_core.grid(), m_core.dataFolder(),
                                            std::unique_ptr<Transport>(plugin->newTransport(30000)));
    m_engine->mayChangeGrid = [this] { return !mayChangeGrid || mayChangeGrid(); };
    m_engine->saveStore = [this] { return m_core.SaveTermins(); };
    connect(m_engine.get(), &SyncEngine::gridChanged, &m_core, &AppCore::AppointmentsChangedOutside);
    connect(m_engine.get(), &SyncEngine::finished, this, &SyncController::done);
    if (!m_secrets)
        m_secrets.reset(plugin->newSecretStore());
    return true;
}

void SyncController::syncNow()
{
    m_soon.stop();
    // The command line may have set up the account meanwhile.
    const AccountSettings stored = ReadAccount(m_core.programSettings());
    if (stored.url != m_account.url || stored.user != m_account.user || stored.minutes != m_account.minutes ||
        stored.seconds != m_account.seconds || stored.certificate != m_account.certificate)
        setAccount(stored);
    if (!m_account.set() || m_core.Terminating() || m_waitingForStore)
        return;
    if (const QString bad = CheckAddress(m_account.url); !bad.isEmpty()) {
        SyncReport failed;
        failed.fault = SyncReport::Fault::Insecure;
        failed.error = bad;
        return done(failed);
    }
    if (!ensureEngine())
        return;
    if (!m_password.isEmpty() || m_askedStore)
        return startWithPassword();
    // The secret store first; it may take a moment (or never answer: then the user is asked).
    m_askedStore = true;
    m_waitingForStore = true;
    emit runningChanged(true);
    // A store that does not answer is as good as none.
    auto answered = std::make_shared<bool>(false);
    const auto take = [this, answered](bool found, const QString& secret) {
        if (*answered)
            return;
        *answered = true;
        m_waitingForStore = false;
        if (found)
            m_password = secret;
        startWithPassword();
    };
    QTimer::singleShot(StoreAnswerMs, this, [take] { take(false, {}); });
    m_secrets->read(SecretKey(m_account), take);
}

void SyncController::startWithPassword()
{
    if (m_password.isEmpty()) {
        emit runningChanged(false);
        emit passwordNeeded(
            QCoreApplication::translate("SyncController", "Bitte geben Sie das Passwort für %1 ein.")
                .arg(m_account.user));
        return;
    }
    m_engine->setAccount({QUrl(m_account.url), m_account.user, m_password, m_account.certificate,
                          PassBounds(m_account.seconds)});
    if (m_storePassword && m_secrets) {
        // Where no store answers, the password stays in this run's memory only.
        m_storePassword = false;
        m_secrets->write(SecretKey(m_account), m_password, [](bool) {});
    }
    emit runningChanged(true);
    m_engine->start();
}

void SyncController::done(const SyncReport& report)
{
    QSettings& settings = m_core.programSettings();
    settings.setValue(QStringLiteral("sync/lastTime"),
                      dw::ToQDateTime(dw::Now()).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    settings.setValue(QStringLiteral("sync/lastResult"), report.fullText());
    // The list to choose from stays until a calendar is chosen.
    if (!report.calendars.isEmpty()) {
        QStringList lines;
        for (const auto& [url, name] : report.calendars)
            lines << url + QLatin1Char('\t') + name;
        settings.setValue(QStringLiteral("sync/calendars"), lines);
    }
    settings.sync();
    emit runningChanged(false);
    emit finished(report);
    if (report.fault == SyncReport::Fault::Unauthorized) {
        m_password.clear();
        emit passwordNeeded(report.error);
    }
}

QString SyncController::lastText() const
{
    QSettings& settings = m_core.programSettings();
    const QDateTime at = QDateTime::fromString(settings.value(QStringLiteral("sync/lastTime")).toString(),
                                               QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!at.isValid())
        return QCoreApplication::translate("SyncController", "Noch nie abgeglichen.");
    const dw::TDateTime moment = dw::FromQDateTime(at);
    return QCoreApplication::translate("SyncController", "Letzter Abgleich: %1 %2\n%3")
        .arg(dw::FormatShortDate(moment), dw::FormatLongTime(moment),
             settings.value(QStringLiteral("sync/lastResult")).toString());
}

} // namespace dw::sync
