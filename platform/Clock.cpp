#include "platform/Clock.h"

#include <QDateTime>

namespace dw {

namespace {
SystemClock g_systemClock;
Clock* g_clock = &g_systemClock;
} // namespace

TDateTime SystemClock::now() const
{
    return FromQDateTime(QDateTime::currentDateTime());
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
    const QDateTime start =
        QDateTime::fromString(qEnvironmentVariable("DATUMSWECKER_TEST_NOW"), Qt::ISODate);
    if (!start.isValid())
        return;
    static ShiftedClock shifted(FromQDateTime(start) - g_systemClock.now());
    SetClock(&shifted);
}

TDateTime Now()
{
    return g_clock->now();
}

} // namespace dw
