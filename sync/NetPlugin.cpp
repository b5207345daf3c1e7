// The network and the secret store, built as a plugin of their own: QtNetwork,
// TLS and QtKeychain are loaded only when the program syncs.
#include "sync/Transport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>

#include <qt6keychain/keychain.h>

#include <algorithm>
#include <memory>

namespace dw::sync {

namespace {

constexpr const char* KeychainService = "datumswecker";

// The failure a network error stands for; None where the reply came whole
// (an HTTP status, whatever it is, is the server's answer).
HttpReply::Failure FailureOf(QNetworkReply::NetworkError error, int status)
{
    using F = HttpReply::Failure;
    switch (error) {
    case QNetworkReply::NoError:
        return status == 0 ? F::Other : F::None;
    case QNetworkReply::OperationCanceledError: // the transfer timeout cancels
    case QNetworkReply::TimeoutError:
        return F::TimedOut;
    case QNetworkReply::SslHandshakeFailedError:
        return F::Certificate;
    case QNetworkReply::RemoteHostClosedError:
        return F::Interrupted;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return F::Unreachable;
    default:
        // Errors from 200 up restate the HTTP status; below it the connection failed.
        return error < QNetworkReply::ContentAccessDenied || status == 0 ? F::Other : F::None;
    }
}

// What has come of a reply so far, and why it was cut off, if it was.
struct Received
{
    QByteArray body;
    HttpReply::Failure failure = HttpReply::Failure::None;
};

class NetTransport : public Transport
{
public:
    explicit NetTransport(int timeoutMs) : m_timeoutMs(timeoutMs) {}

    void setCredentials(const QString& user, const QString& password) override
    {
        m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    }

    void setOrigin(const QUrl& origin) override { m_origin = origin; }

    void trustCertificate(const QByteArray& sha256) override { m_trusted = sha256.toLower(); }

    void send(const HttpRequest& request, std::function<void(const HttpReply&)> done) override
    {
        HttpReply refused;
        if (!SecureOrLoopback(request.url)) {
            refused.failure = HttpReply::Failure::Insecure;
        } else if (!m_authorization.isEmpty() && !SameOrigin(request.url, m_origin)) {
            // Whatever the caller asked: the password goes to the server the person set up only.
            refused.failure = HttpReply::Failure::OtherOrigin;
            refused.detail = QStringLiteral("%1:%2").arg(request.url.host()).arg(PortOf(request.url));
        }
        if (refused.failure != HttpReply::Failure::None) {
            QMetaObject::invokeMethod(
                &m_manager, [done, refused] { done(refused); }, Qt::QueuedConnection);
            return;
        }
        QNetworkRequest r(request.url);
        r.setTransferTimeout(m_timeoutMs);
        // Not followed: the person is told where the calendar went and sets it up.
        r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!m_authorization.isEmpty())
            r.setRawHeader("Authorization", m_authorization);
        for (const auto& [name, value] : request.headers)
            r.setRawHeader(name, value);
        QNetworkReply* reply = m_manager.sendCustomRequest(r, request.method, request.body);
        auto refusal = std::make_shared<std::pair<QString, QByteArray>>();
        QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                         [reply, refusal, trusted = m_trusted](const QList<QSslError>& errors) {
                             QSslCertificate peer = reply->sslConfiguration().peerCertificate();
                             if (peer.isNull() && !errors.isEmpty())
                                 peer = errors.first().certificate();
                             const QByteArray fingerprint = peer.digest(QCryptographicHash::Sha256).toHex();
                             // Only the very certificate the person trusted; any other is refused.
                             if (!trusted.isEmpty() && !peer.isNull() && fingerprint == trusted) {
                                 reply->ignoreSslErrors(errors);
                                 return;
                             }
                             refusal->second = fingerprint;
                             const QStringList names = peer.subjectInfo(QSslCertificate::CommonName);
                             refusal->first = !names.isEmpty()    ? names.join(QStringLiteral(", "))
                                              : !errors.isEmpty() ? errors.first().errorString()
                                                                  : QString();
                         });
        // The reply is read as it arrives and counted against its bound, so that
        // neither Qt's buffer nor ours ever holds more than the bound.
        auto got = std::make_shared<Received>();
        const qint64 maxBytes = std::min(request.maxBytes, MaxReplyBytes);
        const auto stop = [reply, got](HttpReply::Failure failure) {
            got->failure = failure;
            got->body.clear();
            reply->abort();
        };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, got, stop, maxBytes] {
            if (got->failure != HttpReply::Failure::None)
                return;
            // Qt drops every field of a header with one too long for it and then reads the
            // body to the end of a connection the server keeps open: refused here at once.
            const bool noFields = reply->rawHeaderPairs().isEmpty();
            if (noFields || reply->rawHeader("ETag").size() > MaxEtagBytes)
                return stop(HttpReply::Failure::BadHeader);
            const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
            if (announced > maxBytes)
                return stop(HttpReply::Failure::TooLarge);
            if (announced > 0)
                got->body.reserve(announced);
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, got, stop, maxBytes] {
            if (got->failure != HttpReply::Failure::None || !reply->isOpen())
                return;
            const QByteArray piece = reply->read(maxBytes - got->body.size() + 1);
            got->body.append(piece);
            if (got->body.size() > maxBytes)
                stop(HttpReply::Failure::TooLarge);
        });
        QObject::connect(
            reply, &QNetworkReply::finished, reply, [reply, done, refusal, got, maxBytes, url = request.url] {
                reply->deleteLater();
                HttpReply out;
                out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                out.failure = got->failure != HttpReply::Failure::None
                                  ? got->failure
                                  : FailureOf(reply->error(), out.status);
                if (out.failure != HttpReply::Failure::None) {
                    out.detail = reply->errorString();
                    if (out.failure == HttpReply::Failure::Certificate && !refusal->first.isEmpty()) {
                        out.detail = refusal->first;
                        out.fingerprint = refusal->second;
                    }
                    return done(out);
                }
                if (reply->isOpen())
                    got->body.append(reply->read(maxBytes - got->body.size() + 1));
                if (got->body.size() > maxBytes) {
                    out.failure = HttpReply::Failure::TooLarge;
                    return done(out);
                }
                out.body = std::move(got->body);
                // Closed before the length it announced had come: cut off, even where the network
                // layer took the close for the end (a compressed body has a length of its own).
                const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
                if (length.isValid() && reply->rawHeader("Content-Encoding").isEmpty() &&
                    out.body.size() < length.toLongLong()) {
                    out.failure = HttpReply::Failure::Interrupted;
                    out.body.clear();
                    return done(out);
                }
                out.etag = reply->rawHeader("ETag");
                const QUrl location = reply->header(QNetworkRequest::LocationHeader).toUrl();
                if (location.isValid() && !location.isEmpty())
                    out.location = url.resolved(location);
                done(out);
            });
        m_pending.append(reply);
        QObject::connect(reply, &QObject::destroyed, &m_manager,
                         [this, reply] { m_pending.removeOne(reply); });
    }

    void cancelAll() override
    {
        const QList<QNetworkReply*> pending = m_pending;
        m_pending.clear();
        for (QNetworkReply* reply : pending) {
            QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
            reply->abort();
            reply->deleteLater();
        }
    }

private:
    QNetworkAccessManager m_manager;
    QList<QNetworkReply*> m_pending;
    QByteArray m_authorization;
    QUrl m_origin;
    QByteArray m_trusted;
    int m_timeoutMs;
};

class KeychainStore : public SecretStore
{
public:
    void read(const QString& key, std::function<void(bool, const QString&)> done) override
    {
        auto* job = new QKeychain::ReadPasswordJob(QString::fromLatin1(KeychainService));
        job->setAutoDelete(true);
        job->setKey(key);
        QObject::connect(job, &QKeychain::Job::finished, job, [job, done] {
            const bool found = job->error() == QKeychain::NoError;
            done(found, found ? job->textData() : QString());
        });
        job->start();
    }

    void write(const QString& key, const QString& secret, std::function<void(bool)> done) override
    {
        auto* job = new QKeychain::WritePasswordJob(QString::fromLatin1(KeychainService));
        job->setAutoDelete(true);
        job->setKey(key);
        job->setTextData(secret);
        // Never a plain file in place of the desktop's store.
        job->setInsecureFallback(false);
        QObject::connect(job, &QKeychain::Job::finished, job,
                         [job, done] { done(job->error() == QKeychain::NoError); });
        job->start();
    }
};

Transport* NewTransport(int timeoutMs)
{
    return new NetTransport(timeoutMs);
}

SecretStore* NewSecretStore()
{
    return new KeychainStore;
}

const NetPlugin Plugin{NetPluginVersion, &NewTransport, &NewSecretStore};

} // namespace

} // namespace dw::sync

extern "C" __attribute__((visibility("default"))) const dw::sync::NetPlugin* dw_sync_net_plugin()
{
    return &dw::sync::Plugin;
}
