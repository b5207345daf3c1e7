#include "instance/InstanceChannel.h"

#include "platform/LocalSocket.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QPointer>
#include <QTimer>

#include <exception>

namespace {
// A client that connects and says nothing must not keep its socket for ever.
constexpr int IdleClientMs = 10000;
} // namespace

QJsonObject InstanceError(const QString& text)
{
    return QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), text}};
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), m_server(new dw::LocalServer(this))
{
    connect(m_server, &dw::LocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& name)
{
    return m_server->listen(name);
}

void InstanceServer::registerCommand(const QString& cmd, Handler handler)
{
    m_commands.insert(cmd, std::move(handler));
}

QJsonObject InstanceServer::answer(const QByteArray& line) const
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return InstanceError(tr("Die Anfrage ist kein gültiges JSON-Objekt."));
    const QJsonObject request = document.object();
    const QString cmd = request.value(QStringLiteral("cmd")).toString();
    const auto handler = m_commands.constFind(cmd);
    if (handler == m_commands.constEnd())
        return InstanceError(cmd.isEmpty() ? tr("Die Anfrage nennt keinen Befehl.")
                                           : tr("Unbekannter Befehl „%1“.").arg(cmd));
    try {
        return (*handler)(request);
    } catch (const std::exception& e) {
        return InstanceError(QString::fromLocal8Bit(e.what()));
    }
}

void InstanceServer::registerDeferredCommand(const QString& cmd, DeferredHandler handler)
{
    m_deferred.insert(cmd, std::move(handler));
}

void InstanceServer::accept(dw::LocalConnection* connection)
{
    connect(connection, &dw::LocalConnection::disconnected, connection, &QObject::deleteLater);
    connect(connection, &dw::LocalConnection::readyRead, this, [this, connection] { serve(connection); });
    auto* idle = new QTimer(connection);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, connection, &dw::LocalConnection::close);
    idle->start(IdleClientMs);
    serve(connection); // the request may have come with the connection
}

void InstanceServer::serve(dw::LocalConnection* connection)
{
    if (connection->property("answered").toBool())
        return;
    QJsonObject reply;
    if (connection->canReadLine()) {
        const QByteArray line = connection->readLine(MaxRequestBytes + 1);
        const QJsonObject request = QJsonDocument::fromJson(line).object();
        const auto deferred = m_deferred.constFind(request.value(QStringLiteral("cmd")).toString());
        if (line.endsWith('\n') && deferred != m_deferred.constEnd()) {
            // The client waits as long as it is willing to; the answer comes when it is ready.
            connection->setProperty("answered", true);
            if (auto* idle = connection->findChild<QTimer*>())
                idle->stop();
            QPointer<dw::LocalConnection> to(connection);
            (*deferred)(request, [to](const QJsonObject& answer) {
                if (!to)
                    return;
                to->write(QJsonDocument(answer).toJson(QJsonDocument::Compact) + '\n');
                to->close();
            });
            return;
        }
        reply = line.endsWith('\n') ? answer(line.chopped(1)) : InstanceError(tr("Die Anfrage ist zu lang."));
    } else if (connection->bytesAvailable() > MaxRequestBytes) {
        reply = InstanceError(tr("Die Anfrage ist zu lang."));
    } else {
        return; // the rest of the line is still on its way
    }
    connection->setProperty("answered", true);
    connection->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
    connection->close();
}
