#pragma once

#include <QLockFile>
#include <QString>

// The lock of a data folder (datumswecker.lock), and the one place that takes
// it: the running copy holds it as long as it runs, an import from the command
// line while it writes. Only a dead owner makes it stale, never its age.
class FolderLock
{
public:
    explicit FolderLock(const QString& dataFolder);

    enum class Result
    {
        Taken,      // ours now (or already), also over from an owner that died
        Held,       // by a living process
        Unavailable // no lock file can be made here (read-only media, no permission)
    };
    Result take();
    QString path() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};
