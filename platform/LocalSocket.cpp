#include "platform/LocalSocket.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace dw {

namespace {

bool AddressOf(const QByteArray& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

int NewSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Waits until fd is ready for events or the deadline passes; false on the deadline.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int result = ::poll(&p, 1, static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
        if (result > 0)
            return true;
        if (result == 0 || errno != EINTR)
            return false;
    }
}

bool WriteAll(int fd, const QByteArray& bytes, const QDeadlineTimer& deadline)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

QString LocalSocketPath(const QString& name)
{
    return QDir::isAbsolutePath(name) ? name : QDir::tempPath() + QLatin1Char('/') + name;
}

LocalConnection::LocalConnection(int fd, QObject* parent)
    : QObject(parent), m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &LocalConnection::readAvailable);
}

LocalConnection::~LocalConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void LocalConnection::readAvailable()
{
    bool ended = false;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n > 0) {
            m_input.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    if (!m_input.isEmpty())
        emit readyRead();
    if (ended)
        close();
}

QByteArray LocalConnection::readLine(qsizetype maxBytes)
{
    const qsizetype end = m_input.indexOf('\n');
    const qsizetype take = std::min(end < 0 ? m_input.size() : end + 1, maxBytes);
    const QByteArray line = m_input.left(take);
    m_input.remove(0, take);
    return line;
}

bool LocalConnection::write(const QByteArray& bytes)
{
    return m_fd >= 0 && WriteAll(m_fd, bytes, QDeadlineTimer(1000));
}

void LocalConnection::close()
{
    if (m_fd < 0)
        return;
    m_notifier->setEnabled(false);
    ::close(m_fd);
    m_fd = -1;
    emit disconnected();
}

LocalServer::LocalServer(QObject* parent) : QObject(parent) {}

LocalServer::~LocalServer()
{
    close();
}

bool LocalServer::listen(const QString& name)
{
    close();
    const QByteArray path = QFile::encodeName(LocalSocketPath(name));
    sockaddr_un address;
    if (!AddressOf(path, address))
        return false;
    const int fd = NewSocket();
    if (fd < 0)
        return false;
    // The socket file takes the socket's mode on Linux: nobody else may even connect.
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!bound && errno == EADDRINUSE) {
        ::unlink(path.constData());
        bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    if (!bound || ::listen(fd, 16) != 0) {
        ::close(fd);
        return false;
    }
    ::chmod(path.constData(), S_IRUSR | S_IWUSR);
    m_fd = fd;
    m_path = path;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &LocalServer::accept);
    return true;
}

void LocalServer::close()
{
    if (m_fd < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_fd);
    ::unlink(m_path.constData());
    m_fd = -1;
}

void LocalServer::accept()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        emit newConnection(new LocalConnection(fd, this));
    }
}

std::optional<QByteArray> LocalRequest(const QString& name, const QByteArray& line, int connectTimeoutMs,
                                       int answerTimeoutMs)
{
    sockaddr_un address;
    if (!AddressOf(QFile::encodeName(LocalSocketPath(name)), address))
        return std::nullopt;
    const int fd = NewSocket();
    if (fd < 0)
        return std::nullopt;
    const auto result = [fd](std::optional<QByteArray> value) {
        ::close(fd);
        return value;
    };
    // A listener whose queue is full makes a local connect fail at once; it is tried again until the time is
    // up.
    const QDeadlineTimer connectDeadline(connectTimeoutMs);
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EAGAIN && errno != EINTR)
            return result(std::nullopt);
        if (connectDeadline.hasExpired())
            return result(std::nullopt);
        QThread::msleep(10);
    }
    const QDeadlineTimer deadline(answerTimeoutMs);
    if (!WriteAll(fd, line, deadline))
        return result(std::nullopt);
    QByteArray answer;
    char chunk[4096];
    while (!answer.contains('\n')) {
        if (!WaitFor(fd, POLLIN, deadline))
            return result(std::nullopt);
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0)
            return result(std::nullopt); // it hung up without a whole line
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return result(std::nullopt);
        }
        answer.append(chunk, n);
    }
    return result(answer.left(answer.indexOf('\n')));
}

} // namespace dw
