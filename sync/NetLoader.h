#pragma once

#include "sync/Transport.h"

#include <QString>
#include <QStringList>

namespace dw::sync {

// Loads the network plugin (once; it stays loaded): from the folders given,
// else beside the program and in the library folder of its installation.
// nullptr with a German reason when it cannot be loaded.
const NetPlugin* LoadNetPlugin(QString& error, const QStringList& folders = {});

} // namespace dw::sync
