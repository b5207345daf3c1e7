#pragma once

// What both fuzz targets share: the grids they read into and the checks of the
// round trip. A file the reader accepted must survive the writer: what the writer
// makes of it reads back into the same store and writes again into the same
// bytes. Every check aborts on a breach, so libFuzzer reports it as a finding.

#include "store/CalendarGrid.h"
#include "store/TerminFormat.h"

#include <QByteArray>

namespace fuzzing {

// Two grids that live for the whole run: the first holds what the input gave,
// the second what the writer's output gave.
CalendarGrid& Grid(int which);

void Require(bool condition);

// Reads bytes as a whole file; true when the reader accepted them. Aborts when it
// fails other than by an early end.
bool Read(QByteArray bytes, CalendarGrid& grid, TerminsRead& result);

// The days of grid positions [first, end) by year, month and day.
struct DayRange
{
    int first;
    int end;
};
inline constexpr DayRange AllDays{0, CalendarGrid::TotalDays};
DayList& DayAt(CalendarGrid& grid, int index);

// The writer's output for the whole grid, and for the days in range alone.
QByteArray Write(const CalendarGrid& grid, const StoredSettings& settings);
QByteArray WriteDays(CalendarGrid& grid, DayRange range);
// Gives every day in range that holds something a fresh container.
void EmptyDays(CalendarGrid& grid, DayRange range);

// Every day in range has a container and whole records, and no day outside
// it holds anything.
void RequireWhole(CalendarGrid& grid, DayRange range);
// The two grids hold the same records in the same order in range, every field
// to the bit.
void RequireSameDays(CalendarGrid& a, CalendarGrid& b, DayRange range);

} // namespace fuzzing
