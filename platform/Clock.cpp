#include "platform/Clock.h"

#include "plain/LocalTime.h"

namespace dw {

namespace {
SystemClock g_systemClock;
Clock* g_clock = &g_systemClock;
} // namespace

TDateTime SystemClock::now() const
{
    return LocalNow();
}

Clock& CurrentClock()
{
    return *g_clock;
}

void SetClock(Clock* clock)
{
    g_clock = clock ? clock : &g_systemClock;
}

void UseTestClockFromEnvironment()
{
    class ShiftedClock : public Clock
    {
    public:
        explicit ShiftedClock(TDateTime offset) : m_offset(offset) {}
        TDateTime now() const override { return g_systemClock.now() + m_offset; }

    private:
        TDateTime m_offset;
    };
    const std::optional<TDateTime> offset = TestClockOffset();
    if (!offset)
        return;
    static ShiftedClock shifted(*offset);
    SetClock(&shifted);
}

TDateTime Now()
{
    return g_clock->now();
}

} // namespace dw
