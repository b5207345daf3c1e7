#include "store/DataFileBackup.h"

#include "store/AtomicFile.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool NameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool ReadWhole(const QString& path, QByteArray& contents)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = source.size();
    contents = source.readAll();
    return source.error() == QFileDevice::NoError && contents.size() == size;
}

} // namespace

QString CopyToFreeBackupName(const QString& path)
{
    QByteArray contents;
    if (!ReadWhole(path, contents))
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
            if (!copy.open())
                return {};
            if (copy.device()->write(contents) != contents.size() || !copy.commit())
                return {};
            return candidate;
        } catch (const dw::EInOutError&) {
            return {};
        }
    }
    return {};
}
