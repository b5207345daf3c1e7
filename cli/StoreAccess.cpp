#include "cli/StoreAccess.h"

#include "messages/DataFileMessages.h"
#include "messages/FileFaultTexts.h"
#include "messages/StoreErrorText.h"
#include "series/SeriesReader.h"
#include "store/DataFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace dw::cli {

bool ReadStore(const QString& path, CalendarGrid& grid, QString& error)
{
    using Outcome = TerminsFileRead::Outcome;
    grid.Build();
    const TerminsFileRead read = ReadTerminsFile(path, grid);
    switch (read.outcome) {
    case Outcome::Missing:
    case Outcome::Complete:
        return true;
    case Outcome::CannotOpen:
        error = QCoreApplication::translate("StoreAccess", dw::messages::CannotRead).arg(path);
        break;
    case Outcome::OutOfMemory:
        error = QCoreApplication::translate("StoreAccess",
                                            "%1 kann nicht vollständig gelesen werden (zu wenig Speicher).")
                    .arg(path);
        break;
    case Outcome::Damaged:
        error = QCoreApplication::translate("StoreAccess", dw::messages::Damaged)
                    .arg(path, StoreErrorText(read.readError));
        break;
    }
    return false;
}

bool ReadSeriesFile(const QString& path, dw::series::SeriesSet& set, QString& error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = QCoreApplication::translate("StoreAccess", dw::messages::CannotRead).arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    dw::series::ReadOutcome read = dw::series::ReadSeries(std::string_view(bytes.constData(), bytes.size()));
    if (!read.complete) {
        error = QCoreApplication::translate("StoreAccess", dw::messages::DamagedAtLine)
                    .arg(path)
                    .arg(read.line)
                    .arg(QString::fromStdString(read.problem));
        return false;
    }
    set = std::move(read.set);
    return true;
}

StoreImport ImportIntoFile(const QString& path, const dw::ical::ImportedCalendar& calendar,
                           dw::ical::Budget& budget)
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
        result.error = QCoreApplication::translate(
                           "StoreAccess",
                           "%1 ist beschädigt und konnte nicht gesichert werden; nichts wurde importiert.")
                           .arg(path);
        return result;
    }
    const int read = dw::ical::AppointmentCount(grid);
    result.report = dw::ical::ImportInto(grid, calendar, budget);
    if (!result.report.refused.isEmpty()) {
        result.error = result.report.refused;
        return result;
    }
    if (loaded.fileExisted && !loaded.complete)
        result.report.noteDamagedStore(QFileInfo(loaded.backupPath).fileName(), read);
    // Nothing new: the file stays as it is, byte for byte.
    if (result.report.added == 0) {
        result.ok = true;
        return result;
    }
    const StoredSettings settings = loaded.settingsRead ? loaded.settings : StoredSettings{};
    if (!file.SaveTermins(grid, settings)) {
        result.error = QCoreApplication::translate(
                           "StoreAccess", "%1 konnte nicht gespeichert werden; nichts wurde importiert.")
                           .arg(path);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace dw::cli
