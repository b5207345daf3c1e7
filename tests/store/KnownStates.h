#pragma once

#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"
#include "store/StoredSettings.h"

// Two fixed stores, "old" and "new", that the save helper and the tests both
// build: the tests know every byte the helper writes.
void BuildKnownState(CalendarGrid& grid, char which);
StoredSettings KnownSettings(char which);
// The same for the series file: a hundred series, or three hundred.
dw::series::SeriesSet KnownSeries(char which);
