#pragma once

#include "instance/ImportChannel.h"

#include <QJsonObject>
#include <QLockFile>
#include <QString>

#include <optional>

namespace dw::cli {

// Never two writers: takes the data folder's lock, or hands the request to the
// running copy that holds it. nullopt when the lock is held here now; else the
// running copy's answer, or why the lock could not be had.
std::optional<dw::instance::ImportOutcome> LockOrHandOver(QLockFile& lock, const QString& dataFolder,
                                                          const QJsonObject& request, int answerTimeoutMs);

} // namespace dw::cli
