#pragma once

#include "ical/CalendarImport.h"
#include "store/Appointment.h"

#include <QByteArray>
#include <QDate>

#include <cstdint>

namespace dw::sync {

// What the person sees of an appointment and may change, in the units an event
// carries (whole seconds, the store's Windows-1252 texts), and its reminder state.
struct EventFields
{
    QDate day;
    qint64 time = 0; // seconds after midnight
    QByteArray name;
    QByteArray description;
    qint64 lead = 0;   // seconds before the start
    qint64 repeat = 0; // seconds between two reminders
    double lastReminded = 0.0;
    std::uint8_t done = 0;

    friend bool operator==(const EventFields&, const EventFields&) = default;
};

// The parts the merge decides one by one; day and time are one start.
enum Part : unsigned
{
    NamePart = 1,
    DescriptionPart = 2,
    StartPart = 4,
    AlarmPart = 8,     // lead and repeat interval
    ReminderPart = 16, // last reminded and done: the reminder state, no edit
    EditParts = NamePart | DescriptionPart | StartPart | AlarmPart,
};
// The parts in which a and b differ.
unsigned DifferingParts(const EventFields& a, const EventFields& b);
// b's values of the given parts in a.
void TakeParts(EventFields& a, const EventFields& b, unsigned parts);

// An appointment of `day` as it stands.
EventFields FieldsOf(const Appointment& a, QDate day);
// As a calendar server gives it back once sent: texts, times and reminder state
// as the export writes them and the import reads them.
EventFields AsSent(const EventFields& f);
// An event's fields as the import read them.
EventFields FieldsOf(QDate day, const dw::ical::StoreFields& f);
// The appointment takes the fields (its day is where it stands); false without memory.
bool Apply(const EventFields& f, Appointment& a);

} // namespace dw::sync
