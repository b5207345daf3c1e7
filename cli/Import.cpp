#include "cli/Import.h"

#include "cli/RunningCopy.h"
#include "cli/StoreAccess.h"
#include "ical/CalendarFile.h"
#include "platform/DataFolder.h"
#include "store/DataFile.h"

#include <QFileInfo>
#include <QLockFile>

namespace dw::cli {

ImportOutcome ImportFile(const QString& dataFolder, const QString& file, int answerTimeoutMs)
{
    ImportOutcome outcome;
    dw::ical::ImportedCalendar calendar;
    if (!dw::ical::ReadCalendarFile(file, calendar, outcome.error))
        return outcome;

    QLockFile lock(dw::InstanceLockPath(dataFolder));
    if (auto handedOver =
            LockOrHandOver(lock, dataFolder, dw::instance::ImportRequest(QFileInfo(file).absoluteFilePath()),
                           answerTimeoutMs))
        return *handedOver;
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
