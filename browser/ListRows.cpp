#include "browser/ListRows.h"

#include "platform/Ansi.h"
#include "platform/RegionalFormats.h"
#include "store/CalendarGrid.h"

QString CountText(quint32 count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" Termin") : QStringLiteral(" Termine"));
}

namespace {

QString DayCaption(const CalendarGrid& grid, int year, int month, int day)
{
    return QString::number(day) + QStringLiteral(". ") +
           QString::fromLatin1(grid.Day(year, month, day).Weekday);
}

void FillDay(const CalendarGrid& grid, const DateKey& date, ListContent& content)
{
    const DayList& day = grid.Day(date.year, date.month, date.day);
    content.header = QString::fromLatin1(day.Weekday) + QLatin1Char(' ') + QString::number(date.day) +
                     QLatin1Char('.') + MonthName(date.month) + QLatin1Char(' ') + QString::number(date.year);
    const std::uint32_t count = day.count();
    content.rows.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const Appointment* appointment = day.at(static_cast<std::int32_t>(i));
        content.rows.push_back(
            {dw::FormatLongTime(appointment->TimeOfDay), dw::FromAnsi(appointment->Name), {}});
    }
}

void FillMonth(const CalendarGrid& grid, const DateKey& date, ListContent& content)
{
    content.header = MonthName(date.month) + QLatin1Char(' ') + QString::number(date.year);
    for (int d = 1; d <= grid.DayCount(date.year, date.month); ++d) {
        const std::uint32_t count = grid.Day(date.year, date.month, d).count();
        if (count > 0)
            content.rows.push_back({DayCaption(grid, date.year, date.month, d), CountText(count),
                                    MakeKey(date.year, date.month, d)});
    }
}

void FillYear(const CalendarGrid& grid, const DateKey& date, ListContent& content)
{
    content.header = QStringLiteral("Jahr ") + QString::number(date.year);
    for (int m = 1; m <= 12; ++m) {
        const std::uint32_t count = grid.MonthCount(date.year, m);
        if (count > 0)
            content.rows.push_back({MonthName(m), CountText(count), MakeKey(date.year, m)});
    }
}

void FillRoot(const CalendarGrid& grid, ListContent& content)
{
    content.header = QStringLiteral("Alle Jahre");
    for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y) {
        const std::uint32_t count = grid.YearCount(y);
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

ListContent ListRowsFor(const CalendarGrid& grid, quint32 key)
{
    const DateKey date = DecodeKey(key);
    ListContent content;
    content.level = date.level();
    if (InGrid(date)) {
        switch (content.level) {
        case NodeLevel::Root:
            FillRoot(grid, content);
            break;
        case NodeLevel::Year:
            FillYear(grid, date, content);
            break;
        case NodeLevel::Month:
            FillMonth(grid, date, content);
            break;
        case NodeLevel::Day:
            FillDay(grid, date, content);
            break;
        }
    }
    if (content.rows.empty())
        content.rows.push_back({QString(), QString::fromLatin1(PlaceholderText), {}});
    return content;
}
