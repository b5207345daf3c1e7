#include "cli/StoreAccess.h"

#include "messages/DataFileMessages.h"
#include "messages/StoreErrorText.h"
#include "store/ByteStream.h"
#include "store/DataFile.h"
#include "store/TerminFormat.h"

#include <QFile>
#include <QFileInfo>

#include <exception>

namespace dw::cli {

bool ReadStore(const QString& path, CalendarGrid& grid, QString& error)
{
    grid.Build();
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    try {
        ByteStream in(&file, 256 * 1024);
        if (ReadTermins(in, grid).complete)
            return true;
        error = QStringLiteral("%1 kann nicht vollständig gelesen werden (zu wenig Speicher).").arg(path);
    } catch (const std::exception& failure) {
        error = QStringLiteral("%1 ist beschädigt (%2). Starten Sie das Programm: es sichert die Datei.")
                    .arg(path, StoreErrorText(failure));
    }
    return false;
}

StoreImport ImportIntoFile(const QString& path, const dw::ical::ImportedCalendar& calendar)
{
    StoreImport result;
    CalendarGrid grid;
    grid.Build();
    // What happened to a damaged file (its copy aside, a failed save) goes to standard error.
    DataFileMessages messages;
    messages.setUnattended(true);
    DataFile file(path, &messages);
    const DataFile::LoadResult loaded = file.OpenTermins(grid);
    if (loaded.fileExisted && !loaded.complete && loaded.backupPath.isEmpty()) {
        result.error =
            QStringLiteral("%1 ist beschädigt und konnte nicht gesichert werden; nichts wurde importiert.")
                .arg(path);
        return result;
    }
    const int read = dw::ical::AppointmentCount(grid);
    result.report = dw::ical::ImportInto(grid, calendar);
    if (loaded.fileExisted && !loaded.complete)
        result.report.noteDamagedStore(QFileInfo(loaded.backupPath).fileName(), read);
    // Nothing new: the file stays as it is, byte for byte.
    if (result.report.added == 0) {
        result.ok = true;
        return result;
    }
    const StoredSettings settings = loaded.settingsRead ? loaded.settings : StoredSettings{};
    if (!file.SaveTermins(grid, settings)) {
        result.error =
            QStringLiteral("%1 konnte nicht gespeichert werden; nichts wurde importiert.").arg(path);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace dw::cli
