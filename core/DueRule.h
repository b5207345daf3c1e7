#pragma once

#include "plain/DateValue.h"

// Whether an appointment is due in the pass at moment now. t is the appointment's
// moment, windowOpens the start of its reminder window (t minus the first lead).
// Plain floating-point comparisons: equality at each bound counts as due.
constexpr bool IsDue(dw::TDateTime t, dw::TDateTime windowOpens, dw::TDateTime lastReminded,
                     double repeatInterval, bool done, dw::TDateTime now)
{
    if (done || t < now || windowOpens > now)
        return false;
    return lastReminded == 0.0 || lastReminded < windowOpens || lastReminded > t ||
           lastReminded + repeatInterval <= now;
}
