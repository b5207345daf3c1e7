#pragma once

#include "sync/DavClient.h"
#include "sync/Discovery.h"
#include "sync/SyncEngine.h"
#include "sync/SyncReport.h"

#include <functional>
#include <optional>

namespace dw::sync {

// Tries an address and password before they are kept: finds the calendar as
// a sync would (one PROPFIND where the address names it) and says which it
// is, or why not. Nothing is written.
class AccountCheck
{
public:
    explicit AccountCheck(Transport& transport);
    // `done` once, with the calendar named in `calendar` or the fault.
    void run(const Account& account, std::function<void(const SyncReport&)> done);

private:
    void end(const Fault& fault);

    Transport& m_transport;
    SyncState m_state;
    std::optional<dw::ical::Budget> m_budget; // a trial is a pass too: a server cannot hold it up
    DavClient m_dav;
    Discovery m_discovery;
    std::function<void(const SyncReport&)> m_done;
};

} // namespace dw::sync
