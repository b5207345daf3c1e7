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
    int cutOff = 0;                                // occurrences from 2000 to 2100 beyond the bound per event
    int rulesEnded = 0;                            // events whose rules the bound on steps ended before 2100
    int duplicates = 0; // occurrences another event of the file already gave, same name
};

// At most this many occurrences of one recurring event are taken: the first
// ones on or after 1 January 2000, whatever the rule's start. An open-ended
// daily event would otherwise fill the whole century.
inline constexpr int MaxOccurrences = 1000;

// What one import may cost. A calendar comes from elsewhere; whatever it holds,
// reading it ends within these bounds.
struct ReadLimits
{
    int occurrencesPerEvent = MaxOccurrences;
    // Steps of a rule's own unit (a day for a daily rule) walked per event: a
    // daily rule through the whole century takes 36,890.
    int ruleStepsPerEvent = 50000;
    // Changes of offset one time zone may define up to 2100; real zones have
    // a few hundred.
    int zoneChanges = 5000;
    int appointments = 1000000;      // per file
    qsizetype lineBytes = 1 << 20;   // one unfolded content line
    int parametersPerLine = 100;     // libical drops the ones beyond silently
    double seconds = 5.0;            // processor time, plus
    double secondsPerMegabyte = 1.0; // for each megabyte of the file
};

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
ReadResult ReadCalendar(const QByteArray& bytes, const ReadLimits& limits = {});

} // namespace dw::ical
