#include "instance/FolderLock.h"

#include "platform/DataFolder.h"

FolderLock::FolderLock(const QString& dataFolder) : m_path(dw::InstanceLockPath(dataFolder)), m_lock(m_path)
{
    m_lock.setStaleLockTime(0);
}

FolderLock::Result FolderLock::take()
{
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return Result::Taken;
    return m_lock.error() == QLockFile::LockFailedError ? Result::Held : Result::Unavailable;
}
