#pragma once

#include "ical/Budget.h"
#include "instance/ImportChannel.h"

#include <QString>

namespace dw::cli {

using dw::instance::ImportOutcome;

// Imports into the store of a data folder. Never two writers: without a running
// copy the lock is taken for the whole import and the file written here; with
// one the file is handed to it over its local channel. An import that finds
// another import at work waits for its turn, up to answerTimeoutMs, which does
// not count against the bounds of the pass.
ImportOutcome ImportFile(const QString& dataFolder, const QString& file, int answerTimeoutMs = 120000,
                         const dw::ical::Bounds& bounds = {});

} // namespace dw::cli
