#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

class QSocketNotifier;

namespace dw {

// The channel between two copies of the program: a Unix-domain stream socket
// under a name in the temporary folder, the place QLocalServer uses for a
// name. Kept on QtCore and the C library: QtNetwork and the libraries it
// brings (Kerberos, proxy lookup) would cost the running program more memory
// than everything else it holds for an empty store.

// One accepted connection: reads into a buffer as data arrives, writes whole.
class LocalConnection : public QObject
{
    Q_OBJECT
public:
    explicit LocalConnection(int fd, QObject* parent = nullptr);
    ~LocalConnection() override;
    LocalConnection(const LocalConnection&) = delete;
    LocalConnection& operator=(const LocalConnection&) = delete;

    bool canReadLine() const { return m_input.contains('\n'); }
    qsizetype bytesAvailable() const { return m_input.size(); }
    // Up to the first "\n" (included), at most maxBytes.
    QByteArray readLine(qsizetype maxBytes);
    // Writes everything, waiting up to a second for a full socket; false when it could not.
    bool write(const QByteArray& bytes);
    // Closes the socket; disconnected follows once.
    void close();

signals:
    void readyRead();
    void disconnected();

private:
    void readAvailable();

    int m_fd;
    QSocketNotifier* m_notifier;
    QByteArray m_input;
};

class LocalServer : public QObject
{
    Q_OBJECT
public:
    explicit LocalServer(QObject* parent = nullptr);
    ~LocalServer() override;
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // Listens under the name, for the user only; a socket left under the name
    // is replaced (the caller makes sure no live copy owns it).
    bool listen(const QString& name);
    void close();

signals:
    // The connection belongs to the server until someone deletes it.
    void newConnection(dw::LocalConnection* connection);

private:
    void accept();

    int m_fd = -1;
    QByteArray m_path;
    QSocketNotifier* m_notifier = nullptr;
};

// The socket file of a name.
QString LocalSocketPath(const QString& name);

// Connects to the name, sends line and waits for one line back (without its
// "\n"). Nothing when nobody listens, the connection is not accepted within
// connectTimeoutMs, or no whole line comes within answerTimeoutMs.
std::optional<QByteArray> LocalRequest(const QString& name, const QByteArray& line, int connectTimeoutMs,
                                       int answerTimeoutMs);

} // namespace dw
