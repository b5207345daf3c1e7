#include "browser/DateKey.h"

#include "store/CalendarGrid.h"

#include <QDate>

#include <cstring>

QString MonthName(int month)
{
    return QString::fromUtf8(MonthNames[month - 1]);
}

void FillWeekdays(CalendarGrid& grid)
{
    // QDate counts Monday as 1, the table Monday as 0.
    int weekday = QDate(CalendarGrid::FirstYear, 1, 1).dayOfWeek() - 1;
    grid.ForEachDay([&weekday](int, int, int, DayList& day) {
        std::memcpy(day.Weekday, WeekdayNames[weekday], 3);
        weekday = (weekday + 1) % 7;
    });
}
