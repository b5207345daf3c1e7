#include "StoreTestSupport.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

namespace storetest {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

std::unique_ptr<CalendarGrid> NewGrid()
{
    auto grid = std::make_unique<CalendarGrid>();
    grid->Build();
    return grid;
}

Appointment* Add(CalendarGrid& grid, int year, int month, int day, const Entry& entry)
{
    Appointment* a = grid.NewAppointment(year, month, day);
    if (!a)
        return nullptr;
    ReplaceText(a->Name, entry.name);
    ReplaceText(a->Description, entry.description);
    a->TimeOfDay = entry.timeOfDay;
    a->LastReminded = entry.lastReminded;
    a->FirstLead = entry.firstLead;
    a->RepeatInterval = entry.repeatInterval;
    a->Done = entry.done;
    return a;
}

namespace {

QByteArray RandomText(std::mt19937& random, int maxLength)
{
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> byte(1, 255); // texts never hold a zero byte
    QByteArray text;
    const int n = length(random);
    for (int i = 0; i < n; ++i)
        text.append(static_cast<char>(byte(random)));
    return text;
}

} // namespace

void FillRandom(CalendarGrid& grid, std::mt19937& random, int count)
{
    std::uniform_int_distribution<int> year(CalendarGrid::FirstYear, CalendarGrid::LastYear);
    std::uniform_int_distribution<int> month(1, 12);
    std::uniform_real_distribution<double> real(0.0, 40000.0);
    std::uniform_int_distribution<int> minute(0, 1439);
    std::uniform_int_distribution<int> done(0, 1);
    for (int i = 0; i < count; ++i) {
        const int y = year(random);
        const int m = month(random);
        std::uniform_int_distribution<int> day(1, grid.DayCount(y, m));
        Entry e;
        e.name = RandomText(random, 40);
        e.description = RandomText(random, 120);
        e.timeOfDay = minute(random) / 1440.0;
        e.lastReminded = done(random) ? real(random) : 0.0;
        e.firstLead = real(random) / 1000;
        e.repeatInterval = real(random) / 10000;
        e.done = static_cast<std::uint8_t>(done(random));
        Add(grid, y, m, day(random), e);
    }
}

void ExpectSameGrid(const CalendarGrid& expected, const CalendarGrid& actual)
{
    int mismatches = 0;
    expected.ForEachDay([&](int y, int m, int d, const DayList& want) {
        const DayList& got = actual.Day(y, m, d);
        if (mismatches > 5)
            return;
        if (want.count() != got.count()) {
            ADD_FAILURE() << "count of " << y << "-" << m << "-" << d << ": " << got.count() << " instead of "
                          << want.count();
            ++mismatches;
            return;
        }
        for (std::uint32_t i = 0; i < want.count(); ++i) {
            const Appointment& a = *want.at(static_cast<std::int32_t>(i));
            const Appointment& b = *got.at(static_cast<std::int32_t>(i));
            const bool same = a.TimeOfDay == b.TimeOfDay && a.LastReminded == b.LastReminded &&
                              a.FirstLead == b.FirstLead && a.RepeatInterval == b.RepeatInterval &&
                              a.Done == b.Done && std::strcmp(a.Name, b.Name) == 0 &&
                              std::strcmp(a.Description, b.Description) == 0;
            if (!same) {
                ADD_FAILURE() << "record " << i << " of " << y << "-" << m << "-" << d << " differs";
                ++mismatches;
            }
        }
    });
}

bool EveryDayHasContainer(const CalendarGrid& grid)
{
    bool all = true;
    grid.ForEachDay([&all](int, int, int, const DayList& day) { all = all && day.Items != nullptr; });
    return all;
}

std::uint32_t TotalCount(const CalendarGrid& grid)
{
    std::uint32_t total = 0;
    grid.ForEachDay([&total](int, int, int, const DayList& day) { total += day.count(); });
    return total;
}

QByteArray Serialize(const CalendarGrid& grid, const StoredSettings& settings)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ByteStream out(&buffer);
    WriteTermins(out, grid, settings);
    return bytes;
}

TerminsRead Deserialize(const QByteArray& bytes, CalendarGrid& grid, std::size_t chunk)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer, chunk);
    return ReadTermins(in, grid);
}

int DayIndex(int year, int month, int day)
{
    int index = 0;
    for (int y = CalendarGrid::FirstYear; y < year; ++y)
        index += IsLeapYear(y) ? 366 : 365;
    for (int m = 1; m < month; ++m)
        index += DaysInMonth(year, static_cast<std::uint8_t>(m));
    return index + day - 1;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace storetest
