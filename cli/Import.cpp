#include "cli/Import.h"

#include "cli/StoreAccess.h"
#include "ical/CalendarFile.h"
#include "instance/FolderLock.h"
#include "platform/DataFolder.h"
#include "series/SeriesFile.h"
#include "store/DataFile.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace dw::cli {

ImportOutcome ImportFile(const QString& dataFolder, const QString& file, int answerTimeoutMs,
                         const dw::ical::Bounds& bounds)
{
    ImportOutcome outcome;
    // The file is read and checked before the folder is locked: a long read holds up no one.
    dw::ical::Budget budget(bounds);
    dw::ical::ImportedCalendar calendar;
    if (!dw::ical::ReadCalendarFile(file, calendar, outcome.error, budget))
        return outcome;

    FolderLock lock(dataFolder);
    QElapsedTimer waiting;
    waiting.start();
    if (std::optional<ImportOutcome> elsewhere = dw::instance::TakeImportTurn(
            lock, dw::InstanceServerName(dataFolder),
            dw::instance::ImportRequest(QFileInfo(file).absoluteFilePath()), answerTimeoutMs))
        return *elsewhere;
    budget.setAside(std::chrono::milliseconds(waiting.elapsed()));
    // What a save killed in an earlier run left behind goes now, as at the program's start.
    DataFile(DataFilePath(dataFolder)).RemoveLeftovers();
    SeriesFile(SeriesFilePath(dataFolder)).RemoveLeftovers();
    const StoreImport done = ImportIntoFile(DataFilePath(dataFolder), calendar, budget);
    if (!done.ok) {
        outcome.error = done.error;
        return outcome;
    }
    outcome.exitCode = 0;
    outcome.report = done.report.text();
    return outcome;
}

} // namespace dw::cli
