#pragma once

#include "platform/DateTime.h"
#include "store/StoreArena.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// One appointment, kept by value in its day's container. Its date is the day it is
// stored under; the record holds the time of day, the reminder settings and state,
// and two zero-terminated Windows-1252 texts that the record owns.
struct Appointment
{
    double FirstLead;      // days before the appointment the first reminder may come
    double RepeatInterval; // days between two reminders at least
    double LastReminded;   // moment of the pass that last reminded; 0.0 = never
    double TimeOfDay;      // fraction of a day
    std::uint8_t Done;     // non-zero: no more reminders
    // Identity in memory, handed out by the grid when first asked for and never
    // written to termine.dat; 0: none yet. It fills padding, so a record keeps its size.
    std::uint32_t Id;
    char* Name;
    char* Description;
};
static_assert(sizeof(Appointment) == 56, "Id lives in padding; the record's size stays");

// A text lives in a heap block of its own or, when a load brought it in, in the
// grid's text arena. The byte before the text tells which, so a text can be
// freed or replaced without knowing where it came from.

// A freshly allocated own copy of a text (zero-terminated); nullptr only when no
// memory could be had.
char* NewText(const QByteArray& text);
// Room for a text of length bytes and its terminating zero in the arena, for the
// caller to fill; nullptr without memory.
inline char* NewArenaText(StoreArena& arena, std::size_t length)
{
    char* block = arena.TakeBytes(length + 2);
    if (!block)
        return nullptr;
    block[0] = 1; // in an arena
    return block + 1;
}
// Frees a heap text (an arena text stays until its arena is released); nullptr afterwards.
void FreeText(char*& text);
// Replaces a record's text with an own copy of the new one; false (old text kept) without memory.
bool ReplaceText(char*& text, const QByteArray& newText);
// Releases both texts of a record.
void FreeTexts(Appointment& appointment);

// What the windows did to an appointment, told by its id (CalendarGrid::IdOf)
// to what follows the appointments (the sync).
enum class AppointmentEdit
{
    Added,
    Changed,
    Deleted
};

// The values a new appointment starts with; the name in the user's language.
inline constexpr const char* DefaultName = QT_TRANSLATE_NOOP("Appointment", "Kein Name");
inline constexpr double DefaultTimeOfDay = 0.5;
inline constexpr double DefaultFirstLead = 3.0;
inline constexpr double DefaultRepeatInterval = 1.0;
