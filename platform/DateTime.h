#pragma once

#include <QDate>
#include <QDateTime>

namespace dw {

// A moment as the data file keeps it: days since 30 December 1899, the fraction
// being the time of day. Durations use the same unit.
using TDateTime = double;

inline constexpr double MSecsPerDay = 86400000.0;

// Days between 30 December 1899 and 1 January 2000.
inline constexpr int DateDelta2000 = 36526;

// Throws EConvertError for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
// Hours 0-23, minutes 0-59, seconds 0-59, ms 0-999; anything else throws
// EConvertError("Invalid argument to time encode").
TDateTime EncodeTime(int hour, int minute, int second = 0, int msec = 0);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);

void DecodeDate(TDateTime value, int& year, int& month, int& day);
// Splits the fraction of a day, rounded to the millisecond (the sign of the value is ignored).
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

QDate ToQDate(TDateTime value);
TDateTime FromQDate(const QDate& date);
QDateTime ToQDateTime(TDateTime value);
TDateTime FromQDateTime(const QDateTime& dateTime);

} // namespace dw
