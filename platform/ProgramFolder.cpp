#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace dw {

namespace {
QString g_override;
}

QString ModuleFileName()
{
    if (!g_override.isEmpty())
        return g_override;
    // Started through the datumswecker command, the data folder and the
    // autostart entry follow that command, not this internal program. Taken once
    // and removed, so that programs started from here do not inherit it.
    static const QString launcher = [] {
        QString path = qEnvironmentVariable("DATUMSWECKER_PROGRAM");
        qunsetenv("DATUMSWECKER_PROGRAM");
        return path;
    }();
    if (!launcher.isEmpty())
        return launcher;
    // /proc/self/exe names the program file itself, whatever the working folder.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

void SetModuleFileNameForTesting(const QString& path)
{
    g_override = path;
}

} // namespace dw
