#include "platform/DateTime.h"

#include "platform/Exceptions.h"

#include <cmath>

namespace dw {

namespace {
const QDate Epoch(DayZero.year, DayZero.month, DayZero.day);

} // namespace

TDateTime EncodeDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        throw EConvertError("Invalid argument to date encode");
    return FromQDate(date);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
        msec > 999)
        return false;
    const double ms = hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec;
    result = ms / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result))
        throw EConvertError("Invalid argument to time encode");
    return result;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    ToQDate(value).getDate(&year, &month, &day);
}

QDate ToQDate(TDateTime value)
{
    // The whole days, truncated toward zero as the date part of a moment is.
    return Epoch.addDays(static_cast<qint64>(std::trunc(value)));
}

TDateTime FromQDate(const QDate& date)
{
    return static_cast<double>(Epoch.daysTo(date));
}

QDateTime ToQDateTime(TDateTime value)
{
    int h, m, s, ms;
    DecodeTime(value, h, m, s, ms);
    return QDateTime(ToQDate(value), QTime(h, m, s, ms));
}

TDateTime FromQDateTime(const QDateTime& dateTime)
{
    const QTime t = dateTime.time();
    return FromQDate(dateTime.date()) + t.msecsSinceStartOfDay() / MSecsPerDay;
}

} // namespace dw
