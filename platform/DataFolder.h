#pragma once

#include <QString>

namespace dw {

// The folder that holds termine.dat and everything that follows it (backups,
// temporary files, the lock of the running copy). Ends in the separator. The
// program's own folder when it runs from its build folder or a portable copy;
// the user's data folder, created here, when it runs installed.
QString ResolveDataFolder();

// The program folder of the prefix the program was built for, e.g. /usr/local/bin/.
QString InstalledProgramFolder();
// The program folder of the Debian package, /usr/bin/, whatever the prefix.
QString PackageProgramFolder();
// Whether a program in this folder runs installed: from the prefix's or the
// package's program folder, or from any folder it cannot write to.
bool RunsInstalled(const QString& programFolder);
// ~/.local/share/datumswecker/ (XDG_DATA_HOME honoured), with the separator.
QString UserDataFolder();

// The lock file that marks the running copy of one data folder.
QString InstanceLockPath(const QString& dataFolder);
// The local channel to the running copy of one data folder: per user and folder.
QString InstanceServerName(const QString& dataFolder);

} // namespace dw
