#pragma once

#include "store/StoredSettings.h"

// The check timer's interval in milliseconds for the settings' minutes and
// seconds: none below zero, and one beyond what a timer can count is held at
// the longest one.
int CheckIntervalMs(int minutes, int seconds);

// Settings as the settings page would show them after a load: the minutes at 0
// or above, the seconds within 0 to 59.
StoredSettings BoundedSettings(const StoredSettings& loaded);
