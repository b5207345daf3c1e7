#include "platform/DataFolder.h"

#include "plain/DataFolderRule.h"
#include "platform/ProgramFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace dw {

// The rule itself is on the plain side, which the light reading program shares.
QString InstalledProgramFolder()
{
    return QString::fromStdString(InstalledBinFolder());
}

QString PackageProgramFolder()
{
    return QString::fromStdString(PackageBinFolder());
}

bool RunsInstalled(const QString& programFolder)
{
    return RunsInstalledFrom(QFile::encodeName(programFolder).toStdString());
}

QString UserDataFolder()
{
    return QFile::decodeName(QByteArray::fromStdString(UserDataFolderPath()));
}

QString ResolveDataFolder()
{
    return QFile::decodeName(
        QByteArray::fromStdString(DataFolderFor(QFile::encodeName(ModuleFileName()).toStdString())));
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
