#pragma once

#include "platform/DateTime.h"

#include <QString>

// How the edit fields show an appointment's values and how they make them again.
struct DaysHoursMinutes
{
    int days = 0;
    int hours = 0;
    int minutes = 0;

    bool operator==(const DaysHoursMinutes&) const = default;
};

// Hours and minutes of a time of day; seconds and milliseconds are dropped.
void SplitTimeOfDay(dw::TDateTime timeOfDay, int& hours, int& minutes);

// Whole days and the hours and minutes of the rest, so that days + time(hours,
// minutes) gives the value back (a negative lead of -1.75 days is -2 days and
// 6 hours, not -1 day and 18 hours).
DaysHoursMinutes SplitDuration(dw::TDateTime days);

// days + time(hours, minutes); hours outside 0-23 or minutes outside 0-59 throw
// EConvertError("Invalid argument to time encode").
dw::TDateTime ComposeDuration(int days, int hours, int minutes);

// "Erinnert: nie" or "Erinnert: <short date>; <long time>".
QString RemindedText(dw::TDateTime lastReminded);

// The edit boxes break lines with LF, the stored texts with CR LF.
QString ToEditText(QString stored);
QString FromEditText(QString edited);
