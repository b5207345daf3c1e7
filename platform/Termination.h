#pragma once

#include <functional>

class QObject;

namespace dw {

// SIGTERM, SIGINT and SIGHUP end the program the way "Beenden" does: the handler
// runs in whatever event loop is running (the main one or a modal box's), not in
// the signal handler, so the data gets saved. It lives as long as owner; when
// the last owner is gone the signals take their default action again.
void InstallTerminationHandler(QObject* owner, std::function<void()> onTerminate);

} // namespace dw
