#pragma once

#include "ical/IcalEvents.h"
#include "store/CalendarGrid.h"

#include <QString>

namespace dw::ical {

struct ImportReport
{
    int added = 0;
    int addedSeries = 0;
    int alreadyThere =
        0; // same day, time and name as one in the store; a series of the same UID, or start, rule and name
    int outsideRange = 0;
    int lostCharacters = 0; // texts with characters Windows-1252 cannot hold
    int cutOff = 0;         // occurrences beyond the bound per recurring event
    int rulesEnded = 0;     // events whose rules the bound on steps ended before 2100
    int cancelled = 0;      // events and changed occurrences marked cancelled
    bool outOfMemory = false;
    // The pass reached a bound of its budget (German: which, and how far it
    // came); nothing was added then.
    QString refused;
    // termine.dat could not be read completely before the import: where its
    // copy is and how many appointments were read (and kept) from it.
    bool storeDamaged = false;
    QString storeCopy; // empty when no copy could be made
    int storeAppointmentsRead = 0;

    // German, one line per count.
    QString text() const;
    void noteDamagedStore(const QString& copyName, int appointmentsRead)
    {
        storeDamaged = true;
        storeCopy = copyName;
        storeAppointmentsRead = appointmentsRead;
    }
};

int AppointmentCount(const CalendarGrid& grid);

// A read appointment as the store keeps it: Windows-1252 texts (a description
// with CR LF line breaks), the time of day to the second, a new appointment's
// defaults where the file had no alarm.
struct StoreFields
{
    QByteArray name;
    QByteArray description;
    double timeOfDay = 0.0;
    double firstLead = 0.0;
    double repeatInterval = 0.0;
    double lastReminded = 0.0;
    std::uint8_t done = 0;
    int lostCharacters = 0; // texts with characters Windows-1252 cannot hold
};
StoreFields StoreFieldsOf(const ImportedAppointment& item);
// Gives the appointment these fields: the texts first, each replaced only where
// it differs; false without memory for one, and then the numbers stay as they were.
bool FillAppointment(Appointment& a, const StoreFields& f);
// A stored Windows-1252 text as its export gives it back when imported: what
// a calendar server returns of a text the program sent.
QByteArray TextAsImported(const QByteArray& text, bool description);

// Adds the file's appointments at the end of their days, skipping those whose
// day, time (to the second) and name the store already holds, and its series
// after the others, skipping those already there. Past a bound of the budget
// nothing is added, neither appointments nor series.
ImportReport ImportInto(CalendarGrid& grid, dw::series::SeriesSet& series, const ImportedCalendar& calendar,
                        Budget& budget);
// An import of its own, within the default bounds.
ImportReport ImportInto(CalendarGrid& grid, dw::series::SeriesSet& series, const ImportedCalendar& calendar);

} // namespace dw::ical
