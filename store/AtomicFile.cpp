#include "store/AtomicFile.h"

#include "store/ByteStream.h"

#include "platform/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The file is already in place; a folder that cannot be synced only makes
    // the new name less certain to survive a power cut.
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFile::AtomicFile(const QString& path) : m_file(path) {}

AtomicFile::~AtomicFile() = default;

bool AtomicFile::open()
{
    // Unbuffered: every write reaches the system at once and reports its count.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool AtomicFile::commit()
{
    if (m_file.error() != QFileDevice::NoError) {
        m_file.cancelWriting();
        throw dw::EInOutError(ByteStream::DiskFull, ByteStream::MessageFor(ByteStream::DiskFull));
    }
    if (::fsync(m_file.handle()) != 0) {
        const std::int32_t code = ByteStream::CodeForSystemError(errno, ByteStream::DiskFull);
        m_file.cancelWriting();
        throw dw::EInOutError(code, ByteStream::MessageFor(code));
    }
    if (!m_file.commit())
        return false;
    SyncFolder(QFileInfo(m_file.fileName()).absolutePath());
    return true;
}

void AtomicFile::cancel()
{
    m_file.cancelWriting();
}

void AtomicFile::RemoveLeftovers(const QString& path)
{
    const QFileInfo target(path);
    QDir folder = target.absoluteDir();
    // QSaveFile names its temporary file <target>.XXXXXX; our backups are
    // <target>.bak, <target>.bak2, ... and their own temporary files
    // <target>.bak<n>.XXXXXX.
    const QRegularExpression leftover(QStringLiteral("^%1(\\.bak\\d*)?\\.([A-Za-z0-9]{6})$")
                                          .arg(QRegularExpression::escape(target.fileName())));
    const QRegularExpression backup(QStringLiteral("^bak\\d*$"));
    const QStringList names = folder.entryList({target.fileName() + QStringLiteral(".*")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = leftover.match(name);
        if (!match.hasMatch())
            continue;
        if (!match.hasCaptured(1) && backup.match(match.captured(2)).hasMatch())
            continue;
        folder.remove(name);
    }
}
