#pragma once

#include "instance/InstanceRequest.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace dw {
class LocalConnection;
class LocalServer;
} // namespace dw

// The local channel to the running copy of one data folder. A client sends one
// compact UTF-8 JSON object ending in "\n" and reads one such line back:
// {"cmd":"show"} answers {"ok":true}; an unknown command answers
// {"ok":false,"error":"..."} with a German text.
class InstanceServer : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<QJsonObject(const QJsonObject& request)>;
    // A command whose answer comes later (a sync): the handler calls `answer` once.
    using Answer = std::function<void(const QJsonObject& reply)>;
    using DeferredHandler = std::function<void(const QJsonObject& request, Answer answer)>;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens under the name. The caller holds the folder's lock, so a socket
    // left behind by a copy that crashed is removed first.
    bool listen(const QString& name);
    void registerCommand(const QString& cmd, Handler handler);
    void registerDeferredCommand(const QString& cmd, DeferredHandler handler);
    // The answer to one request line.
    QJsonObject answer(const QByteArray& line) const;

    static constexpr qsizetype MaxRequestBytes = 64 * 1024;

private:
    void accept(dw::LocalConnection* connection);
    void serve(dw::LocalConnection* connection);

    dw::LocalServer* m_server;
    QHash<QString, Handler> m_commands;
    QHash<QString, DeferredHandler> m_deferred;
};

// Builds the one answer every failure gets.
QJsonObject InstanceError(const QString& text);
