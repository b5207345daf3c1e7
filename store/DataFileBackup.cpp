#include "store/DataFileBackup.h"

#include "store/AtomicFile.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace {

bool NameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool ReadWhole(const QString& path, QByteArray& contents, int& systemError)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        systemError = ReadError(path);
        return false;
    }
    const qint64 size = source.size();
    contents = source.readAll();
    if (source.error() == QFileDevice::NoError && contents.size() == size)
        return true;
    systemError = ReadError(path);
    return false;
}

QString CopyAside(const QString& path, int& systemError)
{
    QByteArray contents;
    if (!ReadWhole(path, contents, systemError))
        return {};
    // Far more backups than anyone keeps; the bound only stops a folder that
    // claims every name from holding the program up.
    constexpr int MaxBackups = 100000;
    for (int n = 1; n <= MaxBackups; ++n) {
        const QString candidate = path + QStringLiteral(".bak") + (n == 1 ? QString() : QString::number(n));
        if (NameTaken(candidate))
            continue;
        try {
            AtomicFile copy(candidate);
            if (!copy.open()) {
                systemError = errno;
                return {};
            }
            if (copy.device()->write(contents) != contents.size() || !copy.commit()) {
                systemError = ENOSPC;
                return {};
            }
            return candidate;
        } catch (const dw::EInOutError&) {
            systemError = EIO;
            return {};
        }
    }
    return {};
}

} // namespace

int ReadError(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    char byte = 0;
    const int error = ::read(fd, &byte, 1) < 0 ? errno : 0;
    ::close(fd);
    return error;
}

QString CopyToFreeBackupName(const QString& path, int* systemError)
{
    int error = 0;
    const QString copy = CopyAside(path, error);
    if (systemError)
        *systemError = copy.isEmpty() ? error : 0;
    return copy;
}

void UnreadableGuard::KeepUnreadable(IDataFileReport::LoadFailure& failure)
{
    try {
        failure.backupPath = CopyToFreeBackupName(failure.path, &failure.copyError);
    } catch (const std::bad_alloc&) {
        failure.copyError = ENOMEM;
    }
    m_guarded = failure.backupPath.isEmpty();
}

bool UnreadableGuard::MayReplace(const QString& path, IDataFileReport* report)
{
    if (!m_guarded)
        return true;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        m_guarded = false;
        return true;
    }
    // It may have become readable since the start.
    int error = 0;
    const QString backup = CopyToFreeBackupName(path, &error);
    if (backup.isEmpty()) {
        if (report)
            report->SaveFailed({IDataFileReport::SaveProblem::HeldBack, path, {}, error});
        return false;
    }
    m_guarded = false;
    if (report)
        report->CopyKept(backup);
    return true;
}
