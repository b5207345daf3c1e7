#pragma once

#include "plain/DateValue.h"

#include <optional>

namespace dw {

// The local date and time with milliseconds, from the system.
TDateTime LocalNow();

// Tests of the whole program start it at a chosen moment: DATUMSWECKER_TEST_NOW
// holds a local time "yyyy-MM-ddTHH:mm:ss" (seconds may be left out). Nothing when unset or unreadable.
std::optional<TDateTime> TestClockStart();
// How far the test clock runs ahead of the system's from now on; nothing outside such tests.
std::optional<TDateTime> TestClockOffset();

} // namespace dw
