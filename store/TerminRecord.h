#pragma once

// The layout of termine.dat and the one decoder of its records. Every reader
// of the file, the loader and the scanner, with Qt or without it, decodes
// through here, so they cannot disagree about a single byte. The standard
// library only.
//
// For every day from 1 January 2000 to 31 December 2100 in order a 32-bit count
// (0 or below: no appointments) and that many records; then minutes, seconds
// and start-minimised as 32-bit integers. A record: time of day, last reminded,
// first lead and repeat interval as doubles, a done byte, then name and
// description, each a 32-bit length and that many bytes. No header, no padding,
// little-endian.

#include "store/LittleEndian.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The days the file holds a count for, and the date value of the first.
// The name of the data file in its data folder.
inline constexpr const char* TerminFileName = "termine.dat";
inline constexpr int TerminDays = 36890;
inline constexpr std::int32_t FirstTerminDate = 36526;
// The fixed fields of a record, before its texts.
inline constexpr std::size_t TerminFixedBytes = 4 * sizeof(double) + 1;
// The settings after the last day.
inline constexpr std::size_t TerminSettingsBytes = 3 * 4;

// One record as it lies in the file.
struct TerminRecord
{
    double timeOfDay = 0;
    double lastReminded = 0;
    double firstLead = 0;
    double repeatInterval = 0;
    std::uint8_t done = 0;
    std::string_view name; // the stored bytes, zero bytes included
    std::string_view description;
};

// The walk over the days' counts: from the count of day index at p, passes
// over the empty days (a count of 0) within [p, end) and before dayCount.
// The index of the first day not passed over, and p at its count.
inline int SkipEmptyDays(const char*& p, const char* end, int index, int dayCount)
{
    const std::size_t zeros = ZeroFields(
        p, std::min(static_cast<std::size_t>(end - p) / 4, static_cast<std::size_t>(dayCount - index)));
    p += zeros * 4;
    return index + static_cast<int>(zeros);
}

// The fixed fields from the TerminFixedBytes bytes at p.
inline void DecodeFixedFields(const char* p, TerminRecord& record)
{
    record.timeOfDay = LoadLE<double>(p);
    record.lastReminded = LoadLE<double>(p + 8);
    record.firstLead = LoadLE<double>(p + 16);
    record.repeatInterval = LoadLE<double>(p + 24);
    record.done = static_cast<std::uint8_t>(p[32]);
}

// The record at the start of [p, end), and p moved past it. False, with p and
// record as they were, when it does not lie there whole or a text length is
// negative. Inline: the loader takes tens of thousands of records in a row.
inline bool DecodeRecord(const char*& p, const char* end, TerminRecord& record)
{
    const auto rest = static_cast<std::size_t>(end - p);
    if (rest < TerminFixedBytes + 4)
        return false;
    const auto nameLength = LoadLE<std::int32_t>(p + TerminFixedBytes);
    if (nameLength < 0 || rest - TerminFixedBytes - 4 < static_cast<std::size_t>(nameLength) + 4)
        return false;
    const char* const description = p + TerminFixedBytes + 4 + nameLength;
    const auto descriptionLength = LoadLE<std::int32_t>(description);
    if (descriptionLength < 0 ||
        static_cast<std::size_t>(end - description) - 4 < static_cast<std::size_t>(descriptionLength))
        return false;
    DecodeFixedFields(p, record);
    record.name = {p + TerminFixedBytes + 4, static_cast<std::size_t>(nameLength)};
    record.description = {description + 4, static_cast<std::size_t>(descriptionLength)};
    p = description + 4 + descriptionLength;
    return true;
}
