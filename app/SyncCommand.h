#pragma once

class InstanceServer;
namespace dw::sync {
class SyncController;
}

// The running copy's side of --sync handed over by a second start:
// {"cmd":"sync"} (with "password" when the command line was given one) syncs
// the program's own grid and answers when the sync has ended:
// {"ok":true,"report":...,"exit":0} or {"ok":false,"error":...,"exit":2}.
void ServeSyncCommand(InstanceServer& server, dw::sync::SyncController& controller);
