#include "cli/RunningCopy.h"

#include "platform/DataFolder.h"

namespace dw::cli {

std::optional<dw::instance::ImportOutcome> LockOrHandOver(QLockFile& lock, const QString& dataFolder,
                                                          const QJsonObject& request, int answerTimeoutMs)
{
    // Only a lock whose process is gone is stale; a long-running copy's lock is not.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return std::nullopt;
    if (lock.error() != QLockFile::LockFailedError) {
        dw::instance::ImportOutcome outcome;
        outcome.error =
            QStringLiteral("Die Sperre %1 kann nicht angelegt werden.").arg(dw::InstanceLockPath(dataFolder));
        return outcome;
    }
    return dw::instance::AskRunningCopy(dw::InstanceServerName(dataFolder), request, answerTimeoutMs);
}

} // namespace dw::cli
