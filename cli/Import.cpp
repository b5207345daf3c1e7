#include "cli/Import.h"

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
    // Only a lock whose process is gone is stale; a long-running copy's lock is not.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError) {
            outcome.error = QStringLiteral("Die Sperre %1 kann nicht angelegt werden.")
                                .arg(dw::InstanceLockPath(dataFolder));
            return outcome;
        }
        return dw::instance::AskRunningCopy(dw::InstanceServerName(dataFolder),
                                            dw::instance::ImportRequest(QFileInfo(file).absoluteFilePath()),
                                            answerTimeoutMs);
    }
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
