#include "browser/ListRows.h"

#include "platform/Ansi.h"
#include "platform/RegionalFormats.h"
#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"

#include <QCoreApplication>

QString CountText(quint32 count)
{
    return count == 1 ? QCoreApplication::translate("ListRows", "1 Termin")
                      : QCoreApplication::translate("ListRows", "%1 Termine").arg(count);
}

namespace {

using dw::series::SeriesSet;

std::int64_t DayNumber(int year, int month, int day)
{
    return static_cast<std::int64_t>(CalendarGrid::DateOf(year, month, day));
}

// The occurrences of the series on the days first to last.
std::uint64_t SeriesCount(const SeriesSet* series, std::int64_t first, std::int64_t last)
{
    return series ? series->Count(first, last) : 0;
}

void FillDay(const CalendarGrid& grid, const DateKey& date, const SeriesSet* series, ListContent& content)
{
    const DayList& day = grid.Day(date.year, date.month, date.day);
    content.header = DayHeading(date.year, date.month, date.day);
    const std::uint32_t count = day.count();
    content.rows.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const Appointment* appointment = day.at(static_cast<std::int32_t>(i));
        content.rows.push_back(
            {dw::FormatLongTime(appointment->TimeOfDay), dw::FromAnsi(appointment->Name), {}});
    }
    if (!series)
        return;
    const std::int64_t number = DayNumber(date.year, date.month, date.day);
    for (const dw::series::Occurrence& o : series->Occurrences(number, number)) {
        content.rows.push_back({dw::FormatLongTime(o.timeOfDay()),
                                dw::FromAnsi(QByteArray::fromStdString(o.fields->name)),
                                {},
                                true});
        content.occurrences.push_back({(*series)[o.series].uid, o.recurrenceId});
    }
}

void FillMonth(const CalendarGrid& grid, const DateKey& date, const SeriesSet* series, ListContent& content)
{
    content.header = MonthName(date.month) + QLatin1Char(' ') + QString::number(date.year);
    const int days = grid.DayCount(date.year, date.month);
    const std::int64_t first = DayNumber(date.year, date.month, 1);
    std::vector<std::uint32_t> occurrences(static_cast<std::size_t>(days));
    if (series)
        for (const dw::series::Occurrence& o : series->Occurrences(first, first + days - 1))
            ++occurrences[static_cast<std::size_t>(o.day() - first)];
    for (int d = 1; d <= days; ++d) {
        const std::uint32_t count =
            grid.Day(date.year, date.month, d).count() + occurrences[static_cast<std::size_t>(d - 1)];
        if (count > 0)
            content.rows.push_back(
                {DayCaption(date.year, date.month, d), CountText(count), MakeKey(date.year, date.month, d)});
    }
}

void FillYear(const CalendarGrid& grid, const DateKey& date, const SeriesSet* series, ListContent& content)
{
    content.header = QCoreApplication::translate("ListRows", "Jahr %1").arg(date.year);
    for (int m = 1; m <= 12; ++m) {
        const std::int64_t first = DayNumber(date.year, m, 1);
        const auto count =
            static_cast<std::uint32_t>(grid.MonthCount(date.year, m) +
                                       SeriesCount(series, first, first + grid.DayCount(date.year, m) - 1));
        if (count > 0)
            content.rows.push_back({MonthName(m), CountText(count), MakeKey(date.year, m)});
    }
}

void FillRoot(const CalendarGrid& grid, const SeriesSet* series, ListContent& content)
{
    content.header = QCoreApplication::translate("ListRows", "Alle Jahre");
    for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y) {
        const auto count = static_cast<std::uint32_t>(
            grid.YearCount(y) + SeriesCount(series, DayNumber(y, 1, 1), DayNumber(y, 12, 31)));
        if (count > 0)
            content.rows.push_back({QString::number(y), CountText(count), MakeKey(y)});
    }
}

bool InGrid(const DateKey& date)
{
    switch (date.level()) {
    case NodeLevel::Root:
        return true;
    case NodeLevel::Year:
        return date.year >= CalendarGrid::FirstYear && date.year <= CalendarGrid::LastYear;
    case NodeLevel::Month:
        return CalendarGrid::Contains(date.year, date.month, 1);
    case NodeLevel::Day:
        return CalendarGrid::Contains(date.year, date.month, date.day);
    }
    return false;
}

} // namespace

ListContent ListRowsFor(const CalendarGrid& grid, quint32 key, const SeriesSet* series)
{
    const DateKey date = DecodeKey(key);
    ListContent content;
    content.level = date.level();
    if (InGrid(date)) {
        switch (content.level) {
        case NodeLevel::Root:
            FillRoot(grid, series, content);
            break;
        case NodeLevel::Year:
            FillYear(grid, date, series, content);
            break;
        case NodeLevel::Month:
            FillMonth(grid, date, series, content);
            break;
        case NodeLevel::Day:
            FillDay(grid, date, series, content);
            break;
        }
    }
    if (content.rows.empty())
        content.rows.push_back({QString(), QCoreApplication::translate("ListRows", PlaceholderText), {}});
    return content;
}
