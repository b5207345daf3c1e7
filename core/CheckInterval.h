#pragma once

#include "platform/DateTime.h"
#include "store/StoredSettings.h"

#include <QtGlobal>

// The check timer's interval in milliseconds for the settings' minutes and
// seconds: none below zero, and one beyond what a timer can count is held at
// the longest one.
int CheckIntervalMs(int minutes, int seconds);

// Settings as the settings page would show them after a load: the minutes at 0
// or above, the seconds within 0 to 59.
StoredSettings BoundedSettings(const StoredSettings& loaded);

// A look at the wall clock (which runs on while the machine sleeps) and at the
// monotonic one (which stops then).
struct ClockReading
{
    dw::TDateTime wall = 0;
    qint64 monotonicMs = 0;
};

// How far the wall clock must run ahead of the monotonic one between two looks
// for the machine to have slept in between (a suspend, a paused virtual machine).
// Clock corrections stay far below it; a daylight saving change passes it and
// costs one early check pass.
inline constexpr qint64 SleepJumpMs = 30000;
bool SleptBetween(const ClockReading& before, const ClockReading& after);
