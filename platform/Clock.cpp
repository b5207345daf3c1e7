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

TDateTime Now()
{
    return g_clock->now();
}

} // namespace dw
