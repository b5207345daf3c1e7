#pragma once

#include "platform/DateTime.h"

namespace dw {

// The one source of the time of day. Nothing else in the program reads the time;
// tests install a FakeClock.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual TDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    TDateTime now() const override;
};

class FakeClock : public Clock
{
public:
    explicit FakeClock(TDateTime start = 0) : m_now(start) {}
    TDateTime now() const override { return m_now; }
    void set(TDateTime value) { m_now = value; }
    void advanceMSecs(double ms) { m_now += ms / MSecsPerDay; }

private:
    TDateTime m_now;
};

// The clock in use; the system clock unless a test installed another.
Clock& CurrentClock();
// nullptr goes back to the system clock. The caller keeps ownership.
void SetClock(Clock* clock);
// Tests of the whole program start it at a chosen moment: with DATUMSWECKER_TEST_NOW
// set to a local time "yyyy-MM-ddTHH:mm:ss" the clock runs on from there.
// Without it nothing changes.
void UseTestClockFromEnvironment();
// Local date and time with milliseconds from the clock in use.
TDateTime Now();

} // namespace dw
