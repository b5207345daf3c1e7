#pragma once

#include "ical/Budget.h"

namespace fuzzing {

// The bounds of a pass, far below the program's, so that an input costs
// milliseconds and the fuzzer reaches the bounds themselves thousands of
// times; the code that keeps them is the same.
inline dw::ical::Bounds Smaller(dw::ical::Bounds bounds, double seconds)
{
    bounds.occurrencesPerEvent = 100;
    bounds.ruleStepsPerEvent = 1000;
    bounds.zoneChanges = 500;
    bounds.exceptionsPerEvent = 50;
    bounds.appointments = 20000;
    bounds.added = 5000;
    bounds.seconds = seconds;
    bounds.secondsPerMegabyte = 0.0;
    return bounds;
}

} // namespace fuzzing
