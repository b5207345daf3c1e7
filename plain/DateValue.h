#pragma once

#include <cstdint>
#include <string>

namespace dw {

// A moment as the data file keeps it: days since 30 December 1899, the fraction
// being the time of day. Durations use the same unit.
using TDateTime = double;

inline constexpr double MSecsPerDay = 86400000.0;

// Days between 30 December 1899 and 1 January 2000.
inline constexpr int DateDelta2000 = 36526;
// 1 January 1970, where the system's clock counts from, as a date value.
inline constexpr std::int64_t UnixEpochDay = 25569;

struct CivilDate
{
    int year = 0;
    int month = 0;
    int day = 0;
};

// Day 0 of a date value.
inline constexpr CivilDate DayZero{1899, 12, 30};

// The proleptic Gregorian calendar, whatever the range.
CivilDate CivilFromDays(std::int64_t days);
std::int64_t DaysFromCivil(int year, int month, int day);
bool IsValidCivil(int year, int month, int day);

// Splits the fraction of a day, rounded to the millisecond (the sign of the value is ignored).
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

// A moment as local ISO date and time rounded to the millisecond,
// 2024-03-05T14:30:00.125, as Qt writes it: empty beyond the years 1 to 9999.
std::string IsoMoment(TDateTime moment);

} // namespace dw
