#pragma once

#include <functional>

namespace dw {

// SIGTERM, SIGINT and SIGHUP end the program the way "Beenden" does: the handler
// runs in the event loop (not in the signal handler), so the data gets saved.
void InstallTerminationHandler(std::function<void()> onTerminate);

} // namespace dw
