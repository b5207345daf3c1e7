#include "instance/SingleInstance.h"

#include "platform/DataFolder.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

SingleInstance::SingleInstance(const QString& dataFolder) : m_dataFolder(dataFolder), m_lock(dataFolder) {}

QString SingleInstance::serverName() const
{
    return dw::InstanceServerName(m_dataFolder);
}

bool SingleInstance::lockFolder()
{
    // A folder that takes no lock file at all (read-only media) runs unguarded, as it always did.
    return m_lock.take() != FolderLock::Result::Held;
}

bool SingleInstance::claim()
{
    if (!lockFolder())
        return false;
    if (!m_server.listen(serverName()))
        std::fprintf(
            stderr, "%s\n",
            qUtf8Printable(QCoreApplication::translate("SingleInstance",
                                                       "Datumswecker: der Kanal %1 lässt sich nicht öffnen.")
                               .arg(serverName())));
    return true;
}

std::optional<int> SingleInstance::claimOrHandOver(int patienceMs)
{
    QJsonObject show{{QStringLiteral("cmd"), QStringLiteral("show")}};
    if (!m_launchToken.isEmpty())
        show.insert(QStringLiteral("token"), m_launchToken);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (claim())
            return std::nullopt;
        if (const std::optional<QJsonObject> answer = SendInstanceRequest(serverName(), show, 500, 10000)) {
            if (answer->value(QStringLiteral("ok")).toBool())
                return 0;
            ReportInstanceFailure(answer->value(QStringLiteral("error")).toString());
            return 1;
        }
        if (clock.elapsed() >= patienceMs)
            break;
        QThread::msleep(100);
    }
    ReportInstanceFailure(
        QCoreApplication::translate("SingleInstance",
                                    "Datumswecker läuft bereits mit den Daten in %1, antwortet aber "
                                    "nicht.\nBitte in einigen Sekunden noch einmal versuchen.")
            .arg(QDir::toNativeSeparators(QDir::cleanPath(m_dataFolder))));
    return 1;
}

void ServeShowCommand(InstanceServer& server, std::function<void(const QString& token)> showMainWindow)
{
    server.registerCommand(QStringLiteral("show"),
                           [show = std::move(showMainWindow)](const QJsonObject& request) {
                               show(request.value(QStringLiteral("token")).toString());
                               return QJsonObject{{QStringLiteral("ok"), true}};
                           });
}

void ServeShowCommand(InstanceServer& server, std::function<void()> showMainWindow)
{
    ServeShowCommand(server, [show = std::move(showMainWindow)](const QString&) { show(); });
}

void ReportInstanceFailure(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (QCoreApplication::instance() && QCoreApplication::instance()->inherits("QApplication"))
        dw::MessageBoxA(text, QString(), dw::MB_OK | dw::MB_ICONERROR);
}
