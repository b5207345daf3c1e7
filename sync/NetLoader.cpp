#include "sync/NetLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>

namespace dw::sync {

const NetPlugin* LoadNetPlugin(QString& error, const QStringList& folders)
{
    static const NetPlugin* loaded = nullptr;
    if (loaded)
        return loaded;
    QStringList where = folders;
    if (where.isEmpty() && QCoreApplication::instance())
        where << QCoreApplication::applicationDirPath();
    QStringList tried;
    for (const QString& folder : where) {
        const QString path = QDir(folder).filePath(QStringLiteral("datumswecker-sync-net.so"));
        if (!QFile::exists(path))
            continue;
        QLibrary library(path);
        using Entry = const NetPlugin* (*)();
        const auto entry = reinterpret_cast<Entry>(library.resolve(NetPluginEntry));
        if (entry) {
            const NetPlugin* plugin = entry();
            if (plugin && plugin->version == NetPluginVersion)
                return loaded = plugin;
        }
        tried << QStringLiteral("%1 (%2)").arg(path, library.errorString());
    }
    error =
        tried.isEmpty()
            ? QCoreApplication::translate("NetLoader",
                                          "Der Teil für den Abgleich (datumswecker-sync-net.so) fehlt.")
            : QCoreApplication::translate("NetLoader", "Der Teil für den Abgleich lässt sich nicht laden: %1")
                  .arg(tried.join(QStringLiteral(", ")));
    return nullptr;
}

} // namespace dw::sync
