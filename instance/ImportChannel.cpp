#include "instance/ImportChannel.h"

#include "instance/InstanceRequest.h"

namespace dw::instance {

namespace {

QString NotAnswering()
{
    return QStringLiteral(
        "Datumswecker läuft bereits für diesen Datenordner, nimmt den Import aber nicht an. "
        "Bitte beenden Sie das Programm und rufen Sie --import noch einmal auf.");
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

ImportOutcome AskRunningCopy(const QString& serverName, const QJsonObject& request, int answerTimeoutMs)
{
    ImportOutcome outcome;
    const std::optional<QJsonObject> answer = SendInstanceRequest(serverName, request, 3000, answerTimeoutMs);
    if (!answer || answer->isEmpty()) {
        outcome.error = NotAnswering();
        return outcome;
    }
    const QJsonObject& reply = *answer;
    outcome.exitCode = reply.value(QStringLiteral("exit")).toInt(2);
    if (reply.value(QStringLiteral("ok")).toBool())
        outcome.report = reply.value(QStringLiteral("report")).toString();
    else
        outcome.error = reply.value(QStringLiteral("error")).toString();
    return outcome;
}

} // namespace dw::instance
