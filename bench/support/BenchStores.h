#pragma once

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
