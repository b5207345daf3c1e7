#include "RadicaleServer.h"

#include "XSession.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace dwtest {

RadicaleServer::RadicaleServer(bool tls) : m_tls(tls)
{
    QFile users(m_dir.filePath(QStringLiteral("users")));
    users.open(QIODevice::WriteOnly);
    users.write(QByteArray(User) + ':' + Password + '\n');
    users.close();
    if (tls) {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                       QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=%1").arg(QString::fromLatin1(CertificateName)),
                       QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")),
                       QStringLiteral("-out"), m_dir.filePath(QStringLiteral("cert.pem"))});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return;
    }
    if (!start())
        return;
    const int made = curl({QStringLiteral("-X"), QStringLiteral("MKCALENDAR"), calendarUrl()});
    m_ok = made == 201;
}

RadicaleServer::~RadicaleServer()
{
    stop();
}

QString RadicaleServer::baseUrl() const
{
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_port);
}

QString RadicaleServer::calendarPath() const
{
    return QStringLiteral("/%1/kalender/").arg(QString::fromLatin1(User));
}

QString RadicaleServer::calendarUrl() const
{
    return baseUrl() + calendarPath();
}

bool RadicaleServer::start()
{
    m_process = std::make_unique<QProcess>();
    QStringList args{QStringLiteral("--config"),
                     QString(),
                     QStringLiteral("--server-hosts"),
                     QStringLiteral("127.0.0.1:%1").arg(m_port),
                     QStringLiteral("--auth-type"),
                     QStringLiteral("htpasswd"),
                     QStringLiteral("--auth-htpasswd-filename"),
                     m_dir.filePath(QStringLiteral("users")),
                     QStringLiteral("--auth-htpasswd-encryption"),
                     QStringLiteral("plain"),
                     QStringLiteral("--rights-type"),
                     QStringLiteral("owner_only"),
                     QStringLiteral("--storage-filesystem-folder"),
                     m_dir.filePath(QStringLiteral("storage")),
                     QStringLiteral("--logging-level"),
                     QStringLiteral("info")};
    if (m_tls)
        args << QStringLiteral("--server-ssl") << QStringLiteral("True")
             << QStringLiteral("--server-certificate") << m_dir.filePath(QStringLiteral("cert.pem"))
             << QStringLiteral("--server-key") << m_dir.filePath(QStringLiteral("key.pem"));
    // The first start lets Radicale bind a free port itself and reads it from its
    // log, so that no other program can take it in between; a restart binds it again.
    const QString log = m_dir.filePath(QStringLiteral("radicale.log"));
    QFile::remove(log);
    m_process->setStandardErrorFile(log);
    m_process->start(QStringLiteral("radicale"), args);
    QByteArray said;
    const bool ready =
        m_process->waitForStarted(30000) &&
        PollUntil(
            [&] {
                QFile file(log);
                said = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                return said.contains("Radicale server ready") || m_process->state() == QProcess::NotRunning;
            },
            30000);
    static const QRegularExpression listening(QStringLiteral("Listening on '.*:(\\d+)'"));
    const QRegularExpressionMatch bound = listening.match(QString::fromUtf8(said));
    if (!ready || !bound.hasMatch() || m_process->state() != QProcess::Running) {
        std::fprintf(stderr, "Radicale did not start:\n%s\n", said.constData());
        return false;
    }
    m_port = bound.captured(1).toInt();
    return true;
}

void RadicaleServer::stop()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(30000)) {
        m_process->kill();
        m_process->waitForFinished(30000);
    }
}

int RadicaleServer::curl(const QStringList& args, QByteArray* out, QByteArray* headers) const
{
    QProcess p;
    QStringList all{QStringLiteral("-s"),
                    QStringLiteral("-k"),
                    QStringLiteral("--max-time"),
                    QStringLiteral("30"),
                    QStringLiteral("-u"),
                    QStringLiteral("%1:%2").arg(QString::fromLatin1(User), QString::fromLatin1(Password)),
                    QStringLiteral("-o"),
                    QStringLiteral("-"),
                    QStringLiteral("-w"),
                    QStringLiteral("\n%{http_code}")};
    if (headers)
        all << QStringLiteral("-D") << m_dir.filePath(QStringLiteral("headers"));
    p.start(QStringLiteral("curl"), all + args);
    // curl ends by its own --max-time.
    if (!p.waitForFinished(-1))
        return -1;
    QByteArray body = p.readAllStandardOutput();
    const qsizetype cut = body.lastIndexOf('\n');
    const int code = body.mid(cut + 1).toInt();
    if (out)
        *out = body.left(cut);
    if (headers) {
        QFile h(m_dir.filePath(QStringLiteral("headers")));
        h.open(QIODevice::ReadOnly);
        *headers = h.readAll();
    }
    return code;
}

int RadicaleServer::put(const QString& name, const QByteArray& ics, QByteArray* etag) const
{
    QFile body(m_dir.filePath(QStringLiteral("body.ics")));
    body.open(QIODevice::WriteOnly);
    body.write(ics);
    body.close();
    QByteArray headers;
    const int code = curl({QStringLiteral("-X"), QStringLiteral("PUT"), QStringLiteral("-H"),
                           QStringLiteral("Content-Type: text/calendar"), QStringLiteral("--data-binary"),
                           QStringLiteral("@") + body.fileName(), calendarUrl() + name},
                          nullptr, &headers);
    if (etag) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("(?i)etag: *([^\\r\\n]+)")).match(QString::fromUtf8(headers));
        *etag = m.captured(1).toUtf8();
    }
    return code;
}

int RadicaleServer::remove(const QString& name) const
{
    return curl({QStringLiteral("-X"), QStringLiteral("DELETE"), calendarUrl() + name});
}

QByteArray RadicaleServer::get(const QString& name) const
{
    QByteArray out;
    return curl({calendarUrl() + name}, &out) == 200 ? out : QByteArray();
}

QString RadicaleServer::folder() const
{
    return m_dir.filePath(
        QStringLiteral("storage/collection-root/%1/kalender").arg(QString::fromLatin1(User)));
}

QStringList RadicaleServer::names() const
{
    return QDir(folder()).entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name);
}

void RadicaleServer::seed(const QString& name, const QByteArray& ics) const
{
    QFile file(QDir(folder()).filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(ics);
}

QByteArray RadicaleServer::stored(const QString& name) const
{
    QFile file(QDir(folder()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool RadicaleServer::settle() const
{
    // Taking in ten thousand events keeps a busy machine's server at it for minutes.
    return curl({QStringLiteral("--max-time"), QStringLiteral("900"), QStringLiteral("-X"),
                 QStringLiteral("REPORT"), QStringLiteral("-H"), QStringLiteral("Depth: 1"),
                 QStringLiteral("-H"), QStringLiteral("Content-Type: application/xml"),
                 QStringLiteral("--data-binary"),
                 QStringLiteral("<?xml version=\"1.0\"?><sync-collection xmlns=\"DAV:\"><sync-token/>"
                                "<sync-level>1</sync-level><prop><getetag/></prop></sync-collection>"),
                 calendarUrl()}) == 207;
}

QByteArray RadicaleServer::everything() const
{
    QByteArray all;
    for (const QString& name : names())
        all += get(name);
    return all;
}

QByteArray Event(const QString& uid, const QString& start, const QString& summary, const QString& extra)
{
    return QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Zweiter Client//DE\r\n"
                          "BEGIN:VEVENT\r\nUID:%1\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:%2\r\n"
                          "SUMMARY:%3\r\n%4END:VEVENT\r\nEND:VCALENDAR\r\n")
        .arg(uid, start, summary, extra)
        .toUtf8();
}

double RadicaleServer::processorSeconds() const
{
    // /proc/<pid>/stat: fields 14 and 15 are user and system time in clock ticks.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process ? m_process->processId() : 0));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace dwtest
