#include "browser/DateKey.h"

#include "plain/Language.h"
#include "store/CalendarGrid.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>

#include <cstring>

namespace {

bool German()
{
    return dw::CurrentLanguage() == dw::Language::German;
}

} // namespace

QString MonthName(int month)
{
    if (German())
        return QString::fromUtf8(MonthNames[month - 1]);
    return QLocale::system().standaloneMonthName(month);
}

QString WeekdayName(int year, int month, int day)
{
    const int weekday = QDate(year, month, day).dayOfWeek();
    if (German())
        return QString::fromLatin1(WeekdayNames[weekday - 1]);
    return QLocale::system().dayName(weekday, QLocale::ShortFormat);
}

QString DayCaption(int year, int month, int day)
{
    return QCoreApplication::translate("DateKey", "%1. %2").arg(day).arg(WeekdayName(year, month, day));
}

QString DayHeading(int year, int month, int day)
{
    if (German())
        return WeekdayName(year, month, day) + QLatin1Char(' ') + QString::number(day) + QLatin1Char('.') +
               MonthName(month) + QLatin1Char(' ') + QString::number(year);
    return QLocale::system().toString(QDate(year, month, day), QLocale::LongFormat);
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
