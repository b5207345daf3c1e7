#pragma once

#include "ical/IcalTimes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <libical/ical.h>

#include <vector>

// What reading and patching a server's calendar object share: parsing,
// writing, its events, and moments as the object writes them.
namespace dw::sync::parts {

using Component = dw::ical::ComponentPtr;

// The VCALENDAR of the text; null when it is none.
Component Parse(const QByteArray& data);
QByteArray Text(icalcomponent* c);
std::vector<icalcomponent*> Events(icalcomponent* calendar);
icalproperty* RecurrenceIdOf(icalcomponent* event);
// The event without RECURRENCE-ID (the series, or a single event); null when there is none.
icalcomponent* MasterOf(icalcomponent* calendar);
// The zone a TZID names: the object's own VTIMEZONE, else libical's of that name.
icaltimezone* ZoneOf(const QString& tzid, icalcomponent* calendar);

// A moment of the object (DTSTART, RECURRENCE-ID, EXDATE ...) in this
// machine's local time, as the import converts it; a date is its 00:00.
QDateTime LocalMoment(icaltimetype t, icalproperty* p, icalcomponent* calendar);
// The key of an occurrence: its original start in local time.
QString Key(const QDateTime& local);
// The local moment written the way `form` writes its moment (a date, UTC,
// in its zone with its TZID, or floating), as a new property of `kind`.
// A date form keeps a date only when `local` is at 00:00.
icalproperty* MomentLike(icalproperty_kind kind, const QDateTime& local, icalproperty* form,
                         icalcomponent* calendar);
// Removes every property of a kind.
void Remove(icalcomponent* c, icalproperty_kind kind);

} // namespace dw::sync::parts
