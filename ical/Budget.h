#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace dw::ical {

// At most this many occurrences of one recurring event are taken: the first
// ones on or after 1 January 2000, whatever the rule's start. An open-ended
// daily event would otherwise fill the whole century.
inline constexpr int MaxOccurrences = 1000;

// What one pass may cost: an import (reading a file and adding it to the
// store) or a sync. Its input comes from elsewhere; whatever that holds, the
// pass ends within these bounds.
struct Bounds
{
    double wallSeconds = 120.0;      // the whole pass, waiting for input included
    double seconds = 3.0;            // processor time of the pass, plus
    double secondsPerMegabyte = 1.0; // for each megabyte of input
    qint64 inputBytes = 64 << 20;
    qsizetype lineBytes = 1 << 20; // one unfolded content line, before libical sees it
    int parametersPerLine = 100;   // libical drops the ones beyond silently
    // Occurrences of one event beyond this are left out and counted, not refused.
    int occurrencesPerEvent = MaxOccurrences;
    // Steps of a rule's own unit (a day for a daily rule) walked per event: a
    // daily rule through the whole century takes 36,890.
    int ruleStepsPerEvent = 50000;
    // Changes of offset one time zone may define up to 2100; real zones have
    // a few hundred.
    int zoneChanges = 5000;
    int exceptionsPerEvent = 1000; // changed occurrences (RECURRENCE-ID) of one event
    int appointments = 500000;     // read in the pass
    int added = 250000;            // added to the store in the pass
};

// A bound was reached; `text` says which, in German.
struct BoundReached
{
    QString text;
};

// The running account of one pass against its bounds. A charge past a bound
// throws BoundReached, and the pass then keeps nothing of what it did.
class Budget
{
public:
    explicit Budget(const Bounds& bounds = {});
    const Bounds& bounds() const { return m_bounds; }

    // Input received; each megabyte allows more processor time.
    void chargeInput(qint64 bytes);
    void chargeAppointments(qint64 read);
    void chargeAdded(qint64 added = 1);
    void checkExceptions(int ofOneEvent) const;
    // Both clocks; cheap enough for every step of a loop.
    void check();
    // Both clocks, now: for a deadline that has come.
    void checkNow() const { checkClocks(); }
    // Time spent waiting for another pass's turn does not count against this one.
    void setAside(std::chrono::milliseconds waited) { m_wallEnd += waited; }
    // What is left of the whole pass's time, for a wait on input to end with the pass.
    std::chrono::milliseconds remaining() const
    {
        return std::max(std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(
                                                          m_wallEnd - std::chrono::steady_clock::now()));
    }

    qint64 inputBytes() const { return m_input; }
    qint64 inputLeft() const { return std::max<qint64>(0, m_bounds.inputBytes - m_input); }
    qint64 appointments() const { return m_appointments; }
    qint64 added() const { return m_added; }

private:
    void checkClocks() const;

    Bounds m_bounds;
    std::chrono::steady_clock::time_point m_wallEnd;
    std::clock_t m_processorStart;
    qint64 m_input = 0;
    qint64 m_appointments = 0;
    qint64 m_added = 0;
    unsigned m_checks = 0;
};

} // namespace dw::ical
