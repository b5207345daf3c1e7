#include "sync/EventPatch.h"

#include "ical/IcalNames.h"
#include "ical/IcalWriter.h"
#include "platform/Ansi.h"
#include "sync/EventParts.h"

#include <QCoreApplication>
#include <QUuid>

#include <cmath>
#include <optional>

namespace dw::sync {

namespace {

using namespace parts;

QDateTime LocalOf(const EventFields& f)
{
    return QDateTime(f.day, QTime(0, 0).addSecs(static_cast<int>(f.time)));
}

icaldurationtype DurationOf(qint64 seconds)
{
    return icaldurationtype_from_int(static_cast<int>(seconds));
}

void Replace(icalcomponent* c, icalproperty* old, icalproperty* replacement)
{
    if (old) {
        icalcomponent_remove_property(c, old);
        icalproperty_free(old);
    }
    icalcomponent_add_property(c, replacement);
}

void SetText(icalcomponent* event, icalproperty_kind kind, const QByteArray& ansi)
{
    QString text = dw::FromAnsi(ansi);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray utf8 = text.toUtf8();
    icalproperty* p = icalcomponent_get_first_property(event, kind);
    if (kind == ICAL_DESCRIPTION_PROPERTY && text.isEmpty())
        return Remove(event, kind);
    if (!p)
        icalcomponent_add_property(event, kind == ICAL_SUMMARY_PROPERTY ? icalproperty_new_summary("")
                                                                        : icalproperty_new_description(""));
    p = icalcomponent_get_first_property(event, kind);
    if (kind == ICAL_SUMMARY_PROPERTY)
        icalproperty_set_summary(p, utf8.constData());
    else
        icalproperty_set_description(p, utf8.constData());
}

// The start moves from one local moment to another, written as the event
// writes it; the end (DTEND) moves by the same, a DURATION moves with it.
void MoveStart(icalcomponent* event, icalcomponent* calendar, const QDateTime& from, const QDateTime& to)
{
    icalproperty* start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
    const bool wasDate = start && icalproperty_get_dtstart(start).is_date;
    icalproperty* newStart = MomentLike(ICAL_DTSTART_PROPERTY, to, start, calendar);
    const bool isDate = icalproperty_get_dtstart(newStart).is_date;
    if (end) {
        QDateTime endAt = LocalMoment(icalproperty_get_dtend(end), end, calendar);
        endAt =
            wasDate && isDate ? endAt.addDays(from.date().daysTo(to.date())) : endAt.addSecs(from.secsTo(to));
        // A whole day given a time of day ends as long after its start as the day did.
        Replace(event, end,
                MomentLike(ICAL_DTEND_PROPERTY, endAt, wasDate && !isDate ? newStart : end, calendar));
    }
    Replace(event, start, newStart);
}

// An alarm's lead before the start, as the import reads it; nullopt where it cannot tell.
std::optional<qint64> LeadOf(icalcomponent* alarm, icalcomponent* event, icalcomponent* calendar)
{
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!trigger)
        return std::nullopt;
    const icaltriggertype value = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(value.time)) {
        icalproperty* start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (!start)
            return std::nullopt;
        return LocalMoment(value.time, trigger, calendar)
            .secsTo(LocalMoment(icalproperty_get_dtstart(start), start, calendar));
    }
    if (icaldurationtype_is_bad_duration(value.duration))
        return std::nullopt;
    qint64 lead = -icaldurationtype_as_int(value.duration);
    icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
    if (related && icalparameter_get_related(related) == ICAL_RELATED_END) {
        const icaldurationtype length = icalcomponent_get_duration(event);
        if (!icaldurationtype_is_bad_duration(length))
            lead -= icaldurationtype_as_int(length);
    }
    return lead;
}

// The alarm the import takes for the lead (the one that comes first) takes the
// new lead and repeat interval; the others stay. Without one, one is added.
void SetAlarm(icalcomponent* event, icalcomponent* calendar, const EventFields& after)
{
    icalcomponent* taken = nullptr;
    qint64 first = 0;
    for (icalcomponent* a = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        const std::optional<qint64> lead = LeadOf(a, event, calendar);
        if (lead && (!taken || *lead > first)) {
            taken = a;
            first = *lead;
        }
    }
    if (!taken) {
        taken = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(taken, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(
            taken, icalproperty_new_description(dw::FromAnsi(after.name).toUtf8().constData()));
        icalcomponent_add_component(event, taken);
    }
    for (icalproperty_kind kind : {ICAL_TRIGGER_PROPERTY, ICAL_REPEAT_PROPERTY, ICAL_DURATION_PROPERTY})
        Remove(taken, kind);
    icaltriggertype trigger;
    trigger.time = icaltime_null_time();
    trigger.duration = DurationOf(-after.lead);
    icalcomponent_add_property(taken, icalproperty_new_trigger(trigger));
    // As the export counts them: the reminders after the first that fit before the start.
    const qint64 repeats =
        after.repeat > 0 && after.lead > 0 ? std::min<qint64>(after.lead / after.repeat, 1000000) : 0;
    icalcomponent_add_property(taken, icalproperty_new_repeat(static_cast<int>(repeats)));
    icalcomponent_add_property(taken, icalproperty_new_duration(DurationOf(after.repeat)));
}

bool IsOwn(icalproperty* p)
{
    const char* name = icalproperty_get_x_name(p);
    return name && (qstricmp(name, dw::ical::LastRemindedProperty) == 0 ||
                    qstricmp(name, dw::ical::DoneProperty) == 0);
}

void AddOwn(icalcomponent* event, const char* name, const QByteArray& value)
{
    icalproperty* p = icalproperty_new_x(value.constData());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(event, p);
}

void SetReminderState(icalcomponent* event, const EventFields& after)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;) {
        icalproperty* next = icalcomponent_get_next_property(event, ICAL_X_PROPERTY);
        if (IsOwn(p)) {
            icalcomponent_remove_property(event, p);
            icalproperty_free(p);
        }
        p = next;
    }
    // As the export writes them: a moment no clock can have made is left out.
    const double last = after.lastReminded;
    if (last != 0.0 && std::isfinite(last) && std::fabs(last) < 1e7)
        AddOwn(event, dw::ical::LastRemindedProperty, dw::ical::FormatLastReminded(last).toUtf8());
    if (after.done != 0)
        AddOwn(event, dw::ical::DoneProperty, QByteArray::number(after.done));
}

// The event was changed now: its stamp, and its sequence and last change where it counts them.
void Touch(icalcomponent* event, dw::TDateTime now)
{
    icaltimetype stamp = dw::ical::IcalTimeOf(dw::ToQDateTime(now).toUTC());
    stamp.zone = icaltimezone_get_utc_timezone();
    Replace(event, icalcomponent_get_first_property(event, ICAL_DTSTAMP_PROPERTY),
            icalproperty_new_dtstamp(stamp));
    if (icalproperty* modified = icalcomponent_get_first_property(event, ICAL_LASTMODIFIED_PROPERTY))
        icalproperty_set_lastmodified(modified, stamp);
    if (icalproperty* sequence = icalcomponent_get_first_property(event, ICAL_SEQUENCE_PROPERTY))
        icalproperty_set_sequence(sequence, icalproperty_get_sequence(sequence) + 1);
}

void Patch(icalcomponent* event, icalcomponent* calendar, const EventChange& change, dw::TDateTime now)
{
    if (change.parts & NamePart)
        SetText(event, ICAL_SUMMARY_PROPERTY, change.after.name);
    if (change.parts & DescriptionPart)
        SetText(event, ICAL_DESCRIPTION_PROPERTY, change.after.description);
    if (change.parts & StartPart)
        MoveStart(event, calendar, LocalOf(change.before), LocalOf(change.after));
    if (change.parts & AlarmPart)
        SetAlarm(event, calendar, change.after);
    if (change.parts & ReminderPart)
        SetReminderState(event, change.after);
    if (change.parts & EditParts)
        Touch(event, now);
}

icalcomponent* ExceptionOf(icalcomponent* calendar, const QString& rid)
{
    for (icalcomponent* e : Events(calendar))
        if (icalproperty* p = RecurrenceIdOf(e))
            if (Key(LocalMoment(icalproperty_get_recurrenceid(p), p, calendar)) == rid)
                return e;
    return nullptr;
}

// An occurrence changed for the first time: the series' event at that
// occurrence, with all the series holds, as an exception of its own.
icalcomponent* NewException(icalcomponent* calendar, icalcomponent* master, const QString& rid)
{
    icalcomponent* e = icalcomponent_new_clone(master);
    for (icalproperty_kind kind :
         {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY, ICAL_EXRULE_PROPERTY})
        Remove(e, kind);
    icalproperty* start = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    const QDateTime occurrence = QDateTime::fromString(rid, Qt::ISODate);
    if (start)
        MoveStart(e, calendar, LocalMoment(icalproperty_get_dtstart(start), start, calendar), occurrence);
    icalcomponent_add_property(e, MomentLike(ICAL_RECURRENCEID_PROPERTY, occurrence, start, calendar));
    icalcomponent_add_component(calendar, e);
    return e;
}

} // namespace

QByteArray PatchEvent(const QByteArray& data, const QByteArray& uid, const std::vector<EventChange>& changes,
                      dw::TDateTime now, QString& error)
{
    const Component calendar = Parse(data);
    icalcomponent* master = calendar ? MasterOf(calendar.get()) : nullptr;
    if (!calendar) {
        error = QCoreApplication::translate("EventPatch", "kein iCalendar-Objekt");
        return {};
    }
    for (const EventChange& change : changes) {
        icalcomponent* target = change.rid.isEmpty() ? master : ExceptionOf(calendar.get(), change.rid);
        if (change.deleted) {
            if (change.rid.isEmpty())
                continue; // a whole event is deleted, not patched
            if (target) {
                icalcomponent_remove_component(calendar.get(), target);
                icalcomponent_free(target);
            }
            if (master)
                icalcomponent_add_property(
                    master, MomentLike(ICAL_EXDATE_PROPERTY, QDateTime::fromString(change.rid, Qt::ISODate),
                                       icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY),
                                       calendar.get()));
            continue;
        }
        if (!target && master && !change.rid.isEmpty())
            target = NewException(calendar.get(), master, change.rid);
        if (!target) {
            error = QCoreApplication::translate("EventPatch", "Termin nicht im Objekt des Servers");
            return {};
        }
        Patch(target, calendar.get(), change, now);
    }
    // Never an event without a UID: a server refuses it, or keeps it and loses it.
    const QByteArray own =
        !uid.isEmpty() ? uid
                       : QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@datumswecker";
    for (icalcomponent* e : Events(calendar.get())) {
        const char* has = icalcomponent_get_uid(e);
        if (!has || !*has)
            icalcomponent_set_uid(e, own.constData());
    }
    return Text(calendar.get());
}

QByteArray NewEvent(const EventFields& fields, const QByteArray& uid, dw::TDateTime now)
{
    QByteArray name = fields.name;
    QByteArray description = fields.description;
    Appointment a{};
    a.Name = name.data();
    a.Description = description.data();
    a.TimeOfDay = dw::ical::DaysFromSeconds(fields.time);
    a.FirstLead = dw::ical::DaysFromSeconds(fields.lead);
    a.RepeatInterval = dw::ical::DaysFromSeconds(fields.repeat);
    a.LastReminded = fields.lastReminded;
    a.Done = fields.done;
    const Component calendar = Parse(dw::ical::WriteEvent(a, fields.day, uid, now));
    icalcomponent* event = calendar ? MasterOf(calendar.get()) : nullptr;
    if (!event)
        return {};
    // The appointment is a moment, not a span: it ends where it starts.
    icalcomponent_add_property(event, icalproperty_new_duration(DurationOf(0)));
    return Text(calendar.get());
}

} // namespace dw::sync
