#pragma once

#include "plain/DateValue.h"

#include <QDate>
#include <QDateTime>

namespace dw {

// Throws EConvertError for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
// Hours 0-23, minutes 0-59, seconds 0-59, ms 0-999; anything else throws
// EConvertError("Invalid argument to time encode").
TDateTime EncodeTime(int hour, int minute, int second = 0, int msec = 0);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);

void DecodeDate(TDateTime value, int& year, int& month, int& day);

QDate ToQDate(TDateTime value);
TDateTime FromQDate(const QDate& date);
QDateTime ToQDateTime(TDateTime value);
TDateTime FromQDateTime(const QDateTime& dateTime);

} // namespace dw
