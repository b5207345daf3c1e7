#pragma once

#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"

#include <QByteArray>

#include <memory>

// The stores the benchmarks measure: appointments with short names and
// descriptions, either on random days of the whole grid or ten a day from
// 1 January 2020 on. The same seed every time, so every run sees the same store.
enum Spread
{
    RandomDays = 0,
    TenADay = 1
};

std::unique_ptr<CalendarGrid> MakeGrid(int appointments, int spread = RandomDays);

// The bytes of termine.dat for the grid, with the settings' initial values.
QByteArray Bytes(const CalendarGrid& grid);

// Open weekly series as the window makes them, starting on random days from
// 2000 to 2050 at random minutes, with the given first lead (days).
dw::series::SeriesSet MakeSeries(int count, double firstLead = 3.0);
