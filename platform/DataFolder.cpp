#include "platform/DataFolder.h"

#include "platform/ProgramFolder.h"
#include "platform/ProgramNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

#ifndef DW_INSTALL_BINDIR
#define DW_INSTALL_BINDIR "/usr/local/bin"
#endif
#ifndef DW_PACKAGE_BINDIR
#define DW_PACKAGE_BINDIR "/usr/bin"
#endif

namespace dw {

namespace {

QString Canonical(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

QString WithSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString InstalledProgramFolder()
{
    return WithSeparator(QStringLiteral(DW_INSTALL_BINDIR));
}

QString PackageProgramFolder()
{
    return WithSeparator(QStringLiteral(DW_PACKAGE_BINDIR));
}

bool RunsInstalled(const QString& programFolder)
{
    // The prefix's and the package's program folders count as installed even
    // where they are writable (root), so that data never lands beside system files.
    const QString folder = Canonical(programFolder);
    if (folder == Canonical(InstalledProgramFolder()) || folder == Canonical(PackageProgramFolder()))
        return true;
    return ::access(QFile::encodeName(programFolder).constData(), W_OK) != 0;
}

QString UserDataFolder()
{
    // Not AppDataLocation itself: with an organisation name set it would add
    // that as one more folder level, and the data belongs in ~/.local/share/<program>/.
    return WithSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QLatin1Char('/') + QLatin1String(ProgramId));
}

QString ResolveDataFolder()
{
    const QString programFolder = FolderOf(ModuleFileName());
    if (!RunsInstalled(programFolder))
        return programFolder;
    const QString folder = UserDataFolder();
    // A failure here shows later, as the failure to save into it.
    QDir().mkpath(folder);
    return folder;
}

QString InstanceLockPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("datumswecker.lock");
}

QString InstanceServerName(const QString& dataFolder)
{
    // Socket names are short and shared by all users of /tmp: the user's id and a
    // digest of the folder keep two users and two portable copies apart.
    const QString canonical = QDir(dataFolder).canonicalPath();
    const QByteArray digest =
        QCryptographicHash::hash((canonical.isEmpty() ? dataFolder : canonical).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QStringLiteral("datumswecker-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

} // namespace dw
