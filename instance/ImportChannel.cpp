#include "instance/ImportChannel.h"

#include "instance/FolderLock.h"
#include "instance/InstanceRequest.h"

#include "platform/LocalSocket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace dw::instance {

namespace {

QString NotAnswering()
{
    return QCoreApplication::translate(
        "ImportChannel", "Datumswecker läuft bereits für diesen Datenordner, nimmt den Import aber nicht an. "
                         "Bitte beenden Sie das Programm und rufen Sie --import noch einmal auf.");
}

ImportOutcome Failed(const QString& text)
{
    ImportOutcome outcome;
    outcome.error = text;
    return outcome;
}

} // namespace

QJsonObject ImportRequest(const QString& absolutePath)
{
    return {{QStringLiteral("cmd"), QStringLiteral("import")}, {QStringLiteral("file"), absolutePath}};
}

QJsonObject ImportAnswer(const QString& report)
{
    return {{QStringLiteral("ok"), true}, {QStringLiteral("report"), report}, {QStringLiteral("exit"), 0}};
}

QJsonObject ImportFailure(const QString& error)
{
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}, {QStringLiteral("exit"), 2}};
}

namespace {

ImportOutcome FromAnswer(const QJsonObject& reply)
{
    ImportOutcome outcome;
    outcome.exitCode = reply.value(QStringLiteral("exit")).toInt(2);
    if (reply.value(QStringLiteral("ok")).toBool())
        outcome.report = reply.value(QStringLiteral("report")).toString();
    else
        outcome.error = reply.value(QStringLiteral("error")).toString();
    return outcome;
}

} // namespace

ImportOutcome AskRunningCopy(const QString& serverName, const QJsonObject& request, int answerTimeoutMs)
{
    const std::optional<QJsonObject> answer = SendInstanceRequest(serverName, request, 3000, answerTimeoutMs);
    if (!answer || answer->isEmpty())
        return Failed(NotAnswering());
    return FromAnswer(*answer);
}

std::optional<ImportOutcome> TakeImportTurn(FolderLock& lock, const QString& serverName,
                                            const QJsonObject& request, int patienceMs)
{
    QElapsedTimer waiting;
    waiting.start();
    for (;;) {
        switch (lock.take()) {
        case FolderLock::Result::Taken:
            return std::nullopt;
        case FolderLock::Result::Unavailable:
            return Failed(
                QCoreApplication::translate("ImportChannel", "Die Sperre %1 kann nicht angelegt werden.")
                    .arg(lock.path()));
        case FolderLock::Result::Held:
            break;
        }
        // The running copy listens on the folder's channel; an import that holds the lock does not.
        if (QFileInfo::exists(dw::LocalSocketPath(serverName))) {
            QElapsedTimer asked;
            asked.start();
            const int left = static_cast<int>(std::max<qint64>(patienceMs - waiting.elapsed(), 1000));
            const std::optional<QJsonObject> answer = SendInstanceRequest(serverName, request, 3000, left);
            if (answer && !answer->isEmpty())
                return FromAnswer(*answer);
            // Refused at once: a socket left by a copy that crashed, while an import holds the lock.
            if (asked.elapsed() >= 1000)
                return Failed(NotAnswering());
        }
        if (waiting.elapsed() >= patienceMs)
            return Failed(QCoreApplication::translate(
                              "ImportChannel",
                              "Der Datenordner ist seit %1 Sekunden von einem anderen Import oder "
                              "von Datumswecker belegt; nichts wurde importiert. Läuft das "
                              "Programm, beenden Sie das Programm bitte und rufen Sie --import "
                              "noch einmal auf.")
                              .arg(patienceMs / 1000));
        QThread::msleep(20);
    }
}

} // namespace dw::instance
