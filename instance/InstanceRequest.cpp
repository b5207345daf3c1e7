#include "instance/InstanceRequest.h"

#include "platform/LocalSocket.h"

#include <QJsonDocument>

std::optional<QJsonObject> SendInstanceRequest(const QString& serverName, const QJsonObject& request,
                                               int connectTimeoutMs, int answerTimeoutMs)
{
    const std::optional<QByteArray> line =
        dw::LocalRequest(serverName, QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n',
                         connectTimeoutMs, answerTimeoutMs);
    if (!line)
        return std::nullopt;
    const QJsonDocument answer = QJsonDocument::fromJson(*line);
    if (!answer.isObject())
        return std::nullopt;
    return answer.object();
}
