#pragma once

#include "ical/Budget.h"
#include "series/SeriesSet.h"

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
    int cutOff = 0;                                // occurrences from 2000 to 2100 beyond the bound per event
    int rulesEnded = 0;                            // events whose rules the bound on steps ended before 2100
    int duplicates = 0; // occurrences another event of the file already gave, same name
    int cancelled = 0;  // events and changed occurrences marked STATUS:CANCELLED, not in `appointments`
    // Recurring events as series, with the zones they name, in file order; for
    // each, how many of its texts lost characters Windows-1252 cannot hold.
    dw::series::SeriesSet series;
    std::vector<int> seriesLost;
};

struct ReadError
{
    int line = 0; // 1-based line of the file the error was found on
    QString text; // German, without the line
    bool boundReached = false;
};

// Reads an iCalendar (RFC 5545) stream, one VCALENDAR object after another.
// Either the calendar or an error comes back; nothing is partially read.
struct ReadResult
{
    std::optional<ImportedCalendar> calendar;
    ReadError error;
};
// What becomes of a recurring event: one series (the import), or its
// occurrences as appointments, the first ones up to the bound per event.
enum class Recurring
{
    AsAppointments,
    AsSeries
};
// A pass of its own, the bytes its whole input.
ReadResult ReadCalendar(const QByteArray& bytes, const Bounds& bounds = {},
                        Recurring recurring = Recurring::AsAppointments);
// Part of a pass whose budget the caller keeps and has charged the input to.
ReadResult ReadCalendar(const QByteArray& bytes, Budget& budget,
                        Recurring recurring = Recurring::AsAppointments);

} // namespace dw::ical
