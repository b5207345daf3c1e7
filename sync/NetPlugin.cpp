// The network and the secret store, built as a plugin of their own: QtNetwork,
// TLS and QtKeychain are loaded only when the program syncs.
#include "sync/Transport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>

#include <qt6keychain/keychain.h>

#include <memory>

namespace dw::sync {

namespace {

constexpr const char* KeychainService = "datumswecker";

class NetTransport : public Transport
{
public:
    explicit NetTransport(int timeoutMs) : m_timeoutMs(timeoutMs) {}

    void setCredentials(const QString& user, const QString& password) override
    {
        m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    }

    void send(const HttpRequest& request, std::function<void(const HttpReply&)> done) override
    {
        const QString scheme = request.url.scheme().toLower();
        if (scheme != QLatin1String("https") &&
            !(scheme == QLatin1String("http") && IsLoopbackHost(request.url.host()))) {
            HttpReply refused;
            refused.failure = HttpReply::Failure::Insecure;
            QMetaObject::invokeMethod(
                &m_manager, [done, refused] { done(refused); }, Qt::QueuedConnection);
            return;
        }
        QNetworkRequest r(request.url);
        r.setTransferTimeout(m_timeoutMs);
        // A redirect to another host would take the password along.
        r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
        if (!m_authorization.isEmpty())
            r.setRawHeader("Authorization", m_authorization);
        for (const auto& [name, value] : request.headers)
            r.setRawHeader(name, value);
        QNetworkReply* reply = m_manager.sendCustomRequest(r, request.method, request.body);
        auto certificate = std::make_shared<QString>();
        QObject::connect(
            reply, &QNetworkReply::sslErrors, reply, [certificate](const QList<QSslError>& errors) {
                // Never ignored: the reply ends with a handshake failure; the name tells the user whose it
                // was.
                for (const QSslError& e : errors) {
                    const QStringList names = e.certificate().subjectInfo(QSslCertificate::CommonName);
                    if (!names.isEmpty()) {
                        *certificate = names.join(QStringLiteral(", "));
                        break;
                    }
                }
                if (certificate->isEmpty() && !errors.isEmpty())
                    *certificate = errors.first().errorString();
            });
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done, certificate] {
            reply->deleteLater();
            HttpReply out;
            out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            out.body = reply->readAll();
            out.etag = reply->rawHeader("ETag");
            const QNetworkReply::NetworkError error = reply->error();
            if (out.status == 0 || error == QNetworkReply::OperationCanceledError ||
                error == QNetworkReply::TimeoutError || error == QNetworkReply::SslHandshakeFailedError) {
                out.detail = reply->errorString();
                switch (error) {
                case QNetworkReply::OperationCanceledError: // the transfer timeout cancels
                case QNetworkReply::TimeoutError:
                    out.failure = HttpReply::Failure::TimedOut;
                    break;
                case QNetworkReply::SslHandshakeFailedError:
                    out.failure = HttpReply::Failure::Certificate;
                    if (!certificate->isEmpty())
                        out.detail = *certificate;
                    break;
                case QNetworkReply::ConnectionRefusedError:
                case QNetworkReply::RemoteHostClosedError:
                case QNetworkReply::HostNotFoundError:
                case QNetworkReply::NetworkSessionFailedError:
                case QNetworkReply::TemporaryNetworkFailureError:
                case QNetworkReply::UnknownNetworkError:
                    out.failure = HttpReply::Failure::Unreachable;
                    break;
                default:
                    out.failure = HttpReply::Failure::Other;
                }
            }
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
