#include "RoundTrip.h"

#include "store/ByteStream.h"

#include "platform/Exceptions.h"
#include "platform/MessageBox.h"

#include <QBuffer>

#include <array>
#include <cstdlib>
#include <cstring>

namespace fuzzing {

namespace {

struct Date
{
    short year;
    signed char month, day;
};

const Date& DateAt(int index)
{
    static const auto* dates = [] {
        auto* table = new std::array<Date, CalendarGrid::TotalDays>;
        std::size_t i = 0;
        for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y)
            for (int m = 1; m <= 12; ++m)
                for (int d = 1; d <= DaysInMonth(y, static_cast<std::uint8_t>(m)); ++d)
                    (*table)[i++] = {static_cast<short>(y), static_cast<signed char>(m),
                                     static_cast<signed char>(d)};
        return table;
    }();
    return (*dates)[static_cast<std::size_t>(index)];
}

} // namespace

DayList& DayAt(CalendarGrid& grid, int index)
{
    const Date& date = DateAt(index);
    return grid.Day(date.year, date.month, date.day);
}

namespace {

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename F> QByteArray Written(F&& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ByteStream out(&buffer);
    write(out);
    out.Flush();
    return bytes;
}

} // namespace

CalendarGrid& Grid(int which)
{
    static CalendarGrid* grids = [] {
        // A message box would only print; keep the run quiet.
        dw::SetMessageBoxHandler([](const QString&, const QString&, unsigned) { return int{dw::mrOk}; });
        auto* g = new CalendarGrid[2];
        g[0].Build();
        g[1].Build();
        return g;
    }();
    return grids[which];
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool Read(QByteArray bytes, CalendarGrid& grid, TerminsRead& result)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ByteStream in(&buffer);
    try {
        result = ReadTermins(in, grid);
    } catch (const dw::EInOutError& e) {
        Require(e.ErrorCode == ByteStream::ReadBeyondEnd);
        return false;
    }
    return result.complete;
}

QByteArray Write(const CalendarGrid& grid, const StoredSettings& settings)
{
    return Written([&](ByteStream& out) { WriteTermins(out, grid, settings); });
}

QByteArray WriteDays(CalendarGrid& grid, DayRange range)
{
    return Written([&](ByteStream& out) {
        for (int i = range.first; i < range.end; ++i)
            WriteDay(out, DayAt(grid, i));
    });
}

void EmptyDays(CalendarGrid& grid, DayRange range)
{
    for (int i = range.first; i < range.end; ++i)
        if (DayAt(grid, i).count() > 0) {
            const Date& date = DateAt(i);
            grid.NewContainer(date.year, date.month, date.day);
        }
}

void RequireWhole(CalendarGrid& grid, DayRange range)
{
    std::uint32_t filled = 0;
    for (int index = range.first; index < range.end; ++index) {
        const DayList& day = DayAt(grid, index);
        Require(day.Items != nullptr);
        filled += day.count() > 0 ? 1 : 0;
        for (std::uint32_t i = 0; i < day.count(); ++i) {
            const Appointment* a = day.at(static_cast<std::int32_t>(i));
            Require(a->Name && a->Description);
        }
    }
    Require(filled == grid.FilledDays());
}

void RequireSameDays(CalendarGrid& a, CalendarGrid& b, DayRange range)
{
    for (int index = range.first; index < range.end; ++index) {
        const DayList& left = DayAt(a, index);
        const DayList& right = DayAt(b, index);
        Require(left.count() == right.count());
        for (std::uint32_t i = 0; i < left.count(); ++i) {
            const Appointment& p = *left.at(static_cast<std::int32_t>(i));
            const Appointment& q = *right.at(static_cast<std::int32_t>(i));
            Require(SameBits(p.TimeOfDay, q.TimeOfDay) && SameBits(p.LastReminded, q.LastReminded) &&
                    SameBits(p.FirstLead, q.FirstLead) && SameBits(p.RepeatInterval, q.RepeatInterval) &&
                    p.Done == q.Done && std::strcmp(p.Name, q.Name) == 0 &&
                    std::strcmp(p.Description, q.Description) == 0);
        }
    }
}

} // namespace fuzzing
