#include "sync/AccountCheck.h"

namespace dw::sync {

AccountCheck::AccountCheck(Transport& transport)
    : m_transport(transport), m_dav(transport, [this](const Fault& fault) { end(fault); }),
      m_discovery(m_dav, m_state)
{
}

void AccountCheck::run(const Account& account, std::function<void(const SyncReport&)> done)
{
    m_done = std::move(done);
    m_state.clear();
    if (!SecureOrLoopback(account.url))
        return end(faults::InsecureAddress());
    m_transport.setOrigin(account.url);
    m_transport.trustCertificate(account.certificate);
    m_transport.setCredentials(account.user, account.password);
    m_dav.setServer(account.url.host());
    m_budget.emplace(account.bounds);
    m_dav.begin(*m_budget);
    m_discovery.run(account.url, [this] { end({}); });
}

void AccountCheck::end(const Fault& fault)
{
    m_dav.cancel();
    SyncReport report;
    report.fault = fault.kind;
    report.error = fault.text;
    report.fingerprint = fault.fingerprint;
    report.calendars = m_discovery.calendars();
    if (fault.kind == SyncReport::Fault::None)
        report.calendar = m_discovery.calendarText();
    if (m_done)
        std::exchange(m_done, {})(report);
}

} // namespace dw::sync
