#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace dw::ical {

// One appointment read from a calendar file, in local time. Values the file
// does not carry stay empty and get the program's defaults for a new appointment.
struct ImportedAppointment
{
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    QString name;                         // Unicode; the import makes Windows-1252 of it
    QString description;                  // line breaks as LF
    std::optional<double> firstLead;      // days
    std::optional<double> repeatInterval; // days
    double lastReminded = 0.0;
    std::uint8_t done = 0;
};

struct ImportedCalendar
{
    std::vector<ImportedAppointment> appointments; // in file order, occurrences in time order
    int outsideRange = 0;                          // dates before 2000 or after 2100, not in `appointments`
    int cutOff = 0;                                // occurrences of recurring events beyond the bound
};

// At most this many occurrences of one recurring event are taken, counted from
// its first one in 2000 to 2100; an open-ended daily event would otherwise fill
// the whole century.
inline constexpr int MaxOccurrences = 1000;

struct ReadError
{
    int line = 0; // 1-based line of the file the error was found on
    QString text; // German, without the line
};

// Reads an iCalendar (RFC 5545) stream. Either the calendar or an error comes
// back; nothing is partially read.
struct ReadResult
{
    std::optional<ImportedCalendar> calendar;
    ReadError error;
};
ReadResult ReadCalendar(const QByteArray& bytes);

} // namespace dw::ical
