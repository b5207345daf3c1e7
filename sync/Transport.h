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

// The most a reply may bring, counted as it arrives: far above any calendar's
// listing or batch of events, far below what would strain the memory.
inline constexpr qint64 MaxReplyBytes = 64 * 1024 * 1024;
// An ETag is a short quoted token; one longer than this is no server's own.
inline constexpr qsizetype MaxEtagBytes = 1024;

struct HttpRequest
{
    QByteArray method;
    QUrl url;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    // The most the reply may bring, counted as it arrives: past it the reply is cut off (TooLarge).
    qint64 maxBytes = MaxReplyBytes;
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
        Interrupted, // the connection broke off in the middle of the reply
        OtherOrigin, // refused here: the request would take the password to another server
        TooLarge,    // the reply grew past the bound; cut off
        BadHeader,   // a header field too long (an ETag over MaxEtagBytes) or none readable
        Other
    };
    Failure failure = Failure::None;
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QUrl location;          // where a redirect (3xx) points, resolved against the request
    QString detail;         // the certificate's name, the other host, or the network layer's own words
    QByteArray fingerprint; // SHA-256 of a refused certificate, hex
};

class Transport
{
public:
    virtual ~Transport() = default;
    // Sent with every request to the origin set below (HTTP Basic; only over TLS
    // or to the loopback address).
    virtual void setCredentials(const QString& user, const QString& password) = 0;
    // The one origin (scheme, host, port) the credentials may go to: a request
    // to any other is refused while credentials are set. No default: a
    // transport that wraps another must hand it on.
    virtual void setOrigin(const QUrl& origin) = 0;
    // A certificate the person trusts although the system does not: its SHA-256
    // in hex; only exactly this certificate is let through.
    virtual void trustCertificate(const QByteArray& sha256) = 0;
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
inline constexpr int NetPluginVersion = 2;
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

// The port a URL names or its scheme implies.
inline int PortOf(const QUrl& url)
{
    return url.port(url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80);
}

// Same scheme, host and port: where credentials for `a` may also go.
inline bool SameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && PortOf(a) == PortOf(b) &&
           !a.host().isEmpty();
}

// https:// anywhere, plain http:// to this computer only.
inline bool SecureOrLoopback(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("https") ||
           (scheme == QLatin1String("http") && IsLoopbackHost(url.host()));
}

} // namespace dw::sync
