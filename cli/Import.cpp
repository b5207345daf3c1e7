#include "cli/Import.h"

#include "cli/StoreAccess.h"
#include "ical/CalendarFile.h"
#include "instance/FolderLock.h"
#include "platform/DataFolder.h"
#include "store/DataFile.h"

#include <QFileInfo>

namespace dw::cli {

ImportOutcome ImportFile(const QString& dataFolder, const QString& file, int answerTimeoutMs)
{
    ImportOutcome outcome;
    // The file is read and checked before the folder is locked: a long read holds up no one.
    dw::ical::ImportedCalendar calendar;
    if (!dw::ical::ReadCalendarFile(file, calendar, outcome.error))
        return outcome;

    FolderLock lock(dataFolder);
    if (std::optional<ImportOutcome> elsewhere = dw::instance::TakeImportTurn(
            lock, dw::InstanceServerName(dataFolder),
            dw::instance::ImportRequest(QFileInfo(file).absoluteFilePath()), answerTimeoutMs))
        return *elsewhere;
    // What a save killed in an earlier run left behind goes now, as at the program's start.
    DataFile(DataFilePath(dataFolder)).RemoveLeftovers();
    const StoreImport done = ImportIntoFile(DataFilePath(dataFolder), calendar);
    if (!done.ok) {
        outcome.error = done.error;
        return outcome;
    }
    outcome.exitCode = 0;
    outcome.report = done.report.text();
    return outcome;
}

} // namespace dw::cli
