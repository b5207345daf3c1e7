#pragma once

#include <QString>

namespace dw {

// The folder that holds termine.dat and everything that follows it (backups,
// temporary files, the lock of the running copy). Ends in the separator.
QString ResolveDataFolder();

// The lock file that marks the running copy of one data folder.
QString InstanceLockPath(const QString& dataFolder);
// The local channel to the running copy of one data folder: per user and folder.
QString InstanceServerName(const QString& dataFolder);

} // namespace dw
