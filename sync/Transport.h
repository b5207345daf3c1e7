#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <utility>

// What the sync needs of the network and of the desktop's secret store. Both
// live in a plugin of their own (datumswecker-sync-net), loaded only once an
// account is set up: the program without one loads no network library.
namespace dw::sync {

struct HttpRequest
{
    QByteArray method;
    QUrl url;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
};

struct HttpReply
{
    enum class Failure
    {
        None,
        Unreachable, // no connection, refused, name not found, connection lost
        TimedOut,
        Certificate, // the system does not trust the server's certificate
        Insecure,    // plain http:// to a host other than the loopback address
        Other
    };
    Failure failure = Failure::None;
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QString detail; // the certificate's name, or the network layer's own words
};

class Transport
{
public:
    virtual ~Transport() = default;
    // Sent with every request (HTTP Basic; only over TLS or to the loopback address).
    virtual void setCredentials(const QString& user, const QString& password) = 0;
    // Sends one request; `done` is called once, from the event loop, also on failure.
    virtual void send(const HttpRequest& request, std::function<void(const HttpReply&)> done) = 0;
    // Drops every pending request without calling its `done`.
    virtual void cancelAll() = 0;
};

class SecretStore
{
public:
    virtual ~SecretStore() = default;
    // `found` is false when the store holds nothing under the key or does not answer.
    virtual void read(const QString& key, std::function<void(bool found, const QString& secret)> done) = 0;
    virtual void write(const QString& key, const QString& secret, std::function<void(bool stored)> done) = 0;
};

// What the plugin gives: its entry point returns this table.
struct NetPlugin
{
    int version;
    Transport* (*newTransport)(int timeoutMs);
    SecretStore* (*newSecretStore)();
};
inline constexpr int NetPluginVersion = 1;
inline constexpr const char* NetPluginEntry = "dw_sync_net_plugin";

// Whether plain http:// may go to this host: the loopback address only.
inline bool IsLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || host == QLatin1String("::1"))
        return true;
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4 || parts[0] != QLatin1String("127"))
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 0 || n > 255)
            return false;
    }
    return true;
}

} // namespace dw::sync
