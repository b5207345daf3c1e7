#include "messages/AllocationMessage.h"

#include "platform/MessageBox.h"
#include "store/AllocationReport.h"

namespace {

class AllocationMessage : public IAllocationReport
{
public:
    void AllocationFailed(int which, std::uint32_t bytes) override
    {
        dw::MessageBoxA(
            QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
                .arg(which)
                .arg(bytes),
            QString(), dw::MB_OK | dw::MB_ICONERROR);
    }
};

} // namespace

void InstallAllocationMessage()
{
    static AllocationMessage message;
    SetAllocationReport(&message);
}
