#pragma once

#include <initializer_list>

#include "store/CalendarGrid.h"
#include "store/StoredSettings.h"
#include "store/TerminFormat.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <random>

namespace storetest {

// Bytes written out one by one, for comparing with what was written.
QByteArray Bytes(std::initializer_list<int> values);

// A built grid on the heap (the grid is too big for a test's stack frame).
std::unique_ptr<CalendarGrid> NewGrid();

struct Entry
{
    QByteArray name = "Kein Name";
    QByteArray description;
    double timeOfDay = 0.5;
    double lastReminded = 0.0;
    double firstLead = 3.0;
    double repeatInterval = 1.0;
    std::uint8_t done = 0;

    Entry& named(const QByteArray& text)
    {
        name = text;
        return *this;
    }
    Entry& described(const QByteArray& text)
    {
        description = text;
        return *this;
    }
    Entry& at(double fraction)
    {
        timeOfDay = fraction;
        return *this;
    }
    Entry& markedDone(std::uint8_t value)
    {
        done = value;
        return *this;
    }
};
Appointment* Add(CalendarGrid& grid, int year, int month, int day, const Entry& entry = {});

// count appointments on random days with random fields and texts.
void FillRandom(CalendarGrid& grid, std::mt19937& random, int count);

// Every day in grid order with its records, field by field.
void ExpectSameGrid(const CalendarGrid& expected, const CalendarGrid& actual);
// Every day has a container.
bool EveryDayHasContainer(const CalendarGrid& grid);
std::uint32_t TotalCount(const CalendarGrid& grid);

QByteArray Serialize(const CalendarGrid& grid, const StoredSettings& settings);
// Throws dw::EInOutError as ReadTermins does.
TerminsRead Deserialize(const QByteArray& bytes, CalendarGrid& grid,
                        std::size_t chunk = ByteStream::DefaultChunk);

// Position of a day in grid order (0 for 1 January 2000).
int DayIndex(int year, int month, int day);

QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

} // namespace storetest
