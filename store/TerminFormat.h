#pragma once

#include "store/ByteStream.h"
#include "store/CalendarGrid.h"
#include "store/StoredSettings.h"
#include "store/TerminRecord.h"

// Writing and loading termine.dat (its layout: store/TerminRecord.h).

// The size of a file holding no appointment.
inline constexpr std::int64_t EmptyTerminsSize = std::int64_t{TerminDays} * 4 + TerminSettingsBytes;

// One day's part of the file: its count and its entries in container order.
void WriteDay(ByteStream& out, const DayList& day);

// Writes everything and flushes; raises dw::EInOutError when the device failed.
// The days' cursors are left where they were.
void WriteTermins(ByteStream& out, const CalendarGrid& grid, const StoredSettings& settings);

struct TerminsRead
{
    bool complete = false;     // everything up to the settings was read
    bool settingsRead = false; // settings holds the file's values
    bool outOfMemory = false;  // a record or text could not be allocated (the user was told)
    StoredSettings settings;
};

// Replaces the grid with the stream's contents. Whatever happens, every day
// has a valid container afterwards: the days read keep what was read, the rest
// are empty, and a record is stored only once it was read whole. Raises
// dw::EInOutError (after that repair) when the stream ends early or fails.
TerminsRead ReadTermins(ByteStream& in, CalendarGrid& grid);

// Reads only the parts of the first dayCount days, exactly as ReadTermins reads
// them, and no settings: it reaches the records of a few days without the walk
// over the whole grid. complete is set when all of them were read.
TerminsRead ReadTerminDays(ByteStream& in, CalendarGrid& grid, int dayCount);
