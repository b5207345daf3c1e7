#pragma once

#include "platform/DateTime.h"

#include <QByteArray>

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
    char* Name;
    char* Description;
};

// A freshly allocated own copy of a text (length + 1 bytes, zero-terminated);
// nullptr only when no memory could be had.
char* NewText(const QByteArray& text);
void FreeText(char*& text);
// Replaces a record's text with an own copy of the new one; false (old text kept) without memory.
bool ReplaceText(char*& text, const QByteArray& newText);
// Releases both texts of a record.
void FreeTexts(Appointment& appointment);

// The values a new appointment starts with.
inline constexpr const char* DefaultName = "Kein Name";
inline constexpr double DefaultTimeOfDay = 0.5;
inline constexpr double DefaultFirstLead = 3.0;
inline constexpr double DefaultRepeatInterval = 1.0;
