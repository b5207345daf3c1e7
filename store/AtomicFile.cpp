#include "store/AtomicFile.h"

#include "store/ByteStream.h"

#include "platform/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString TemporaryMark = QStringLiteral(".~datumswecker-");
const QString TemporaryEnd = QStringLiteral(".tmp");
constexpr int RandomLetters = 6;

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

QString RandomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < RandomLetters; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(int{sizeof letters} - 1)]);
    return suffix;
}

// Where a replacement of path must go: the end of its chain of symbolic links,
// so that a link the user made keeps pointing at the data.
QString FollowLinks(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

void SyncFolder(const QString& folder)
{
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The file is already in place; a folder that cannot be synced only makes
    // the new name less certain to survive a power cut.
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFile::AtomicFile(const QString& path) : m_target(FollowLinks(path)) {}

AtomicFile::~AtomicFile()
{
    cancel();
}

bool AtomicFile::open()
{
    struct stat existing = {};
    const bool replacing = ::stat(Native(m_target).constData(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = m_target + TemporaryMark + RandomSuffix() + TemporaryEnd;
        const int fd = ::open(Native(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        // The new file takes the old one's permissions, as the user may have narrowed them.
        if (replacing && S_ISREG(existing.st_mode))
            ::fchmod(fd, existing.st_mode & 07777);
        m_temporary = candidate;
        // Unbuffered: every write reaches the system at once and reports its count.
        if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            cancel();
            return false;
        }
        return true;
    }
    return false;
}

bool AtomicFile::commit()
{
    if (m_file.error() != QFileDevice::NoError) {
        cancel();
        throw dw::EInOutError(ByteStream::DiskFull, ByteStream::MessageFor(ByteStream::DiskFull));
    }
    if (::fsync(m_file.handle()) != 0) {
        const std::int32_t code = ByteStream::CodeForSystemError(errno, ByteStream::DiskFull);
        cancel();
        throw dw::EInOutError(code, ByteStream::MessageFor(code));
    }
    const FileStamp written = FileStamp::OfDescriptor(m_file.handle());
    m_file.close();
    if (::rename(Native(m_temporary).constData(), Native(m_target).constData()) != 0) {
        cancel();
        return false;
    }
    m_temporary.clear();
    m_stamp = written;
    SyncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

void AtomicFile::cancel()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_temporary.isEmpty())
        ::unlink(Native(m_temporary).constData());
    m_temporary.clear();
}

namespace {

// Whether name is <target>, optionally .bak and digits, then the temporary mark,
// the random letters and the temporary end: only what a save of ours leaves.
bool IsLeftover(const QString& name, const QString& target)
{
    if (!name.startsWith(target) || !name.endsWith(TemporaryEnd))
        return false;
    QStringView rest = QStringView(name).mid(target.size());
    if (rest.startsWith(QLatin1String(".bak"))) {
        rest = rest.mid(4);
        while (!rest.isEmpty() && rest.front().isDigit() && rest.front().unicode() < 128)
            rest = rest.mid(1);
    }
    if (!rest.startsWith(TemporaryMark))
        return false;
    const QStringView letters = rest.mid(TemporaryMark.size()).chopped(TemporaryEnd.size());
    return letters.size() == RandomLetters && std::all_of(letters.begin(), letters.end(), [](QChar c) {
               return c.unicode() < 128 && c.isLetterOrNumber();
           });
}

} // namespace

void AtomicFile::RemoveLeftovers(const QString& path)
{
    const QFileInfo target(path);
    QDir folder = target.absoluteDir();
    // The target's own and those of its backups <target>.bak, <target>.bak2, ...
    // Matched by hand: a name filter or a pattern would load the regular
    // expression library into the program for this alone.
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (IsLeftover(name, target.fileName()))
            folder.remove(name);
}
