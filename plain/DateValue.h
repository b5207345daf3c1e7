#pragma once

#include <cstdint>

namespace dw {

// A moment as the data file keeps it: days since 30 December 1899, the fraction
// being the time of day. Durations use the same unit.
using TDateTime = double;

inline constexpr double MSecsPerDay = 86400000.0;

// Days between 30 December 1899 and 1 January 2000.
inline constexpr int DateDelta2000 = 36526;

struct CivilDate
{
    int year = 0;
    int month = 0;
    int day = 0;
};

// The proleptic Gregorian calendar, whatever the range.
CivilDate CivilFromDays(std::int64_t days);
std::int64_t DaysFromCivil(int year, int month, int day);
bool IsValidCivil(int year, int month, int day);

// Splits the fraction of a day, rounded to the millisecond (the sign of the value is ignored).
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

} // namespace dw
