#pragma once

#include "sync/Transport.h"

#include <QString>
#include <QStringList>

namespace dw::sync {

// Loads the network plugin (once; it stays loaded): from the folders given,
// else from beside the program (the build folder, or libexec/datumswecker/).
// nullptr with a German reason when it cannot be loaded.
const NetPlugin* LoadNetPlugin(QString& error, const QStringList& folders = {});

} // namespace dw::sync
