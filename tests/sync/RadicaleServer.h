#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace dwtest {

// A Radicale of the test's own on 127.0.0.1 (a free port it binds itself), with a temporary
// storage folder and a password file, and one calendar
// /<User>/kalender/; stopped when the object goes. With `tls` it serves HTTPS
// with a self-signed certificate made by openssl, named CertificateName.
class RadicaleServer
{
public:
    static constexpr const char* User = "anna";
    static constexpr const char* Password = "geheim-123";
    static constexpr const char* CertificateName = "Selbstgemacht Test";

    explicit RadicaleServer(bool tls = false);
    ~RadicaleServer();
    bool ok() const { return m_ok; }
    QString baseUrl() const;     // http(s)://127.0.0.1:PORT
    QString calendarUrl() const; // the collection, ending in /
    QString calendarPath() const;

    // Stops it (the storage stays) and starts it again on the same port.
    void stop();
    bool start();

    // A second client on the server, through curl: the status code, or -1.
    int put(const QString& name, const QByteArray& ics, QByteArray* etag = nullptr) const;
    int remove(const QString& name) const;
    QByteArray get(const QString& name) const;
    // The names (file names) of the calendar's events.
    QStringList names() const;
    // Puts an event straight into the server's storage folder, as a fast way
    // to fill it (the benchmark's many events).
    void seed(const QString& name, const QByteArray& ics) const;
    // Lets the server take in what was seeded as it takes in a PUT: it fills its
    // item cache and its change history (one sync-collection REPORT), which a
    // seeded event would otherwise leave to the first client that asks.
    bool settle() const;
    // Every event's text, joined.
    QByteArray everything() const;
    // An event's text as the server stored it, read from its storage folder
    // (a quick look that asks the server nothing).
    QByteArray stored(const QString& name) const;
    // The processor seconds the server has used so far (the benchmark's share of the server).
    double processorSeconds() const;

private:
    QString folder() const;
    int curl(const QStringList& args, QByteArray* out = nullptr, QByteArray* headers = nullptr) const;

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    bool m_tls;
    bool m_ok = false;
};

// A VCALENDAR with one VEVENT, as another program would write it.
QByteArray Event(const QString& uid, const QString& start, const QString& summary, const QString& extra = {});

} // namespace dwtest
