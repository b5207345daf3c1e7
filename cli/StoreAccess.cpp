#include "cli/StoreAccess.h"

#include "messages/DataFileMessages.h"
#include "messages/FileFaultTexts.h"
#include "messages/StoreErrorText.h"
#include "series/SeriesFile.h"
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
    dw::series::SeriesSet series;
    SeriesFile seriesFile(SeriesFilePath(QFileInfo(path).absolutePath() + QLatin1Char('/')), &messages);
    const SeriesFile::LoadResult seriesLoaded = seriesFile.Load(series);
    if (seriesLoaded.fileExisted && !seriesLoaded.complete && seriesLoaded.backupPath.isEmpty()) {
        result.error = QCoreApplication::translate(
                           "StoreAccess",
                           "%1 ist beschädigt und konnte nicht gesichert werden; nichts wurde importiert.")
                           .arg(seriesFile.path());
        return result;
    }
    const int read = dw::ical::AppointmentCount(grid);
    const std::size_t seriesBefore = series.size();
    result.report = dw::ical::ImportInto(grid, series, calendar, budget);
    if (!result.report.refused.isEmpty()) {
        result.error = result.report.refused;
        return result;
    }
    if (loaded.fileExisted && !loaded.complete)
        result.report.noteDamagedStore(QFileInfo(loaded.backupPath).fileName(), read);
    // Nothing new: the files stay as they are, byte for byte.
    if (result.report.added == 0 && result.report.addedSeries == 0) {
        result.ok = true;
        return result;
    }
    const QString notSaved = QCoreApplication::translate(
        "StoreAccess", "%1 konnte nicht gespeichert werden; nichts wurde importiert.");
    // The series first: should termine.dat then fail, the series file is put back as it was,
    // so that the pair never holds half an import.
    if (result.report.addedSeries > 0) {
        seriesFile.MarkChanged();
        if (!seriesFile.Save(series)) {
            result.error = notSaved.arg(seriesFile.path());
            return result;
        }
    }
    const StoredSettings settings = loaded.settingsRead ? loaded.settings : StoredSettings{};
    if (result.report.added > 0 && !file.SaveTermins(grid, settings)) {
        result.error = notSaved.arg(path);
        if (result.report.addedSeries > 0) {
            series.list().resize(seriesBefore);
            seriesFile.MarkChanged();
            if (!seriesFile.Save(series))
                result.error = QCoreApplication::translate(
                                   "StoreAccess", "%1 konnte nicht gespeichert werden; die Serien sind "
                                                  "importiert, die einzelnen Termine nicht.")
                                   .arg(path);
        }
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace dw::cli
