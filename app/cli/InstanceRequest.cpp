#include "app/cli/InstanceRequest.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLocalSocket>

std::optional<QJsonObject> SendInstanceRequest(const QString& serverName, const QJsonObject& request,
                                               int connectTimeoutMs, int answerTimeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(connectTimeoutMs))
        return std::nullopt;
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    QElapsedTimer clock;
    clock.start();
    while (!socket.canReadLine()) {
        const qint64 left = answerTimeoutMs - clock.elapsed();
        if (left <= 0)
            return std::nullopt;
        if (!socket.waitForReadyRead(static_cast<int>(left)) && !socket.canReadLine() &&
            socket.state() != QLocalSocket::ConnectedState)
            return std::nullopt; // it hung up without a word
    }
    const QJsonDocument answer = QJsonDocument::fromJson(socket.readLine());
    if (!answer.isObject())
        return std::nullopt;
    return answer.object();
}
