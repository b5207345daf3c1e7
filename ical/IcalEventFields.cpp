#include "ical/IcalEventFields.h"

#include "ical/IcalNames.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstring>
#include <limits>

namespace dw::ical {

void ReadAlarms(icalcomponent* event, const Moment& begins, icalcomponent* zones, const EventLines& lines,
                ImportedAppointment& item)
{
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            throw Failure(lines.of("VALARM"), QCoreApplication::translate(
                                                  "IcalEventFields", "Erinnerung ohne gültigen TRIGGER."));
        const icaltriggertype value = icalproperty_get_trigger(trigger);
        long long leadSeconds = 0;
        if (!icaltime_is_null_time(value.time)) {
            // An absolute moment: the lead is how long before the start it lies.
            const Moment at = ToLocal(value.time, ZoneOf(trigger, zones), TzidOf(trigger));
            leadSeconds = QDateTime(at.date, at.time).secsTo(QDateTime(begins.date, begins.time));
        } else {
            if (icaldurationtype_is_bad_duration(value.duration))
                throw Failure(
                    lines.of("VALARM/TRIGGER"),
                    QCoreApplication::translate("IcalEventFields", "TRIGGER ist keine gültige Dauer."));
            leadSeconds = -static_cast<long long>(icaldurationtype_as_int(value.duration));
            icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(related) == ICAL_RELATED_END) {
                const icaldurationtype length = icalcomponent_get_duration(event);
                if (!icaldurationtype_is_bad_duration(length))
                    leadSeconds -= icaldurationtype_as_int(length);
            }
        }
        // An export writes the lead as a duration in seconds, which libical reads back as an int.
        if (leadSeconds > std::numeric_limits<int>::max() || leadSeconds < -std::numeric_limits<int>::max())
            throw Failure(
                lines.of("VALARM/TRIGGER"),
                QCoreApplication::translate(
                    "IcalEventFields", "Die Erinnerung liegt mehr als 68 Jahre vor oder nach dem Termin."));
        const double lead = DaysFromSeconds(leadSeconds);
        if (item.firstLead && *item.firstLead >= lead)
            continue;
        item.firstLead = lead;
        item.repeatInterval.reset();
        if (icalproperty* duration = icalcomponent_get_first_property(alarm, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype every = icalproperty_get_duration(duration);
            if (icaldurationtype_is_bad_duration(every))
                throw Failure(
                    lines.of("VALARM/DURATION"),
                    QCoreApplication::translate("IcalEventFields", "DURATION ist keine gültige Dauer."));
            item.repeatInterval = DaysFromSeconds(icaldurationtype_as_int(every));
        }
    }
}

void ReadOwnProperties(icalcomponent* event, const EventLines& lines, ImportedAppointment& item)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        const QByteArray name = QByteArray(icalproperty_get_x_name(p)).toUpper();
        const QString value = QString::fromUtf8(icalproperty_get_value_as_string(p)).trimmed();
        const int line = lines.of(name.constData());
        if (name == LastRemindedProperty) {
            const std::optional<double> moment = ParseLastReminded(value);
            if (!moment)
                throw Failure(
                    line, QCoreApplication::translate("IcalEventFields", "%1 ist kein gültiger Zeitpunkt.")
                              .arg(QLatin1String(name)));
            item.lastReminded = *moment;
        } else if (name == DoneProperty) {
            bool ok = false;
            const uint done = value.toUInt(&ok);
            if (!ok || done > 255)
                throw Failure(line, QCoreApplication::translate("IcalEventFields",
                                                                "%1 muss eine Zahl von 0 bis 255 sein.")
                                        .arg(QLatin1String(name)));
            item.done = static_cast<std::uint8_t>(done);
        }
    }
}

int ParserErrorType(icalcomponent* event)
{
    int type = ICAL_XLICERRORTYPE_NONE;
    AnyProperty(event, ICAL_XLICERROR_PROPERTY, [&](icalproperty* p) {
        const char* text = icalproperty_get_xlicerror(p);
        if (std::strncmp(text, "No value for SUMMARY", 20) == 0 ||
            std::strncmp(text, "No value for DESCRIPTION", 24) == 0)
            return false;
        icalparameter* given = icalproperty_get_first_parameter(p, ICAL_XLICERRORTYPE_PARAMETER);
        type = given ? icalparameter_get_xlicerrortype(given) : ICAL_XLICERRORTYPE_NONE;
        return true;
    });
    return type;
}

} // namespace dw::ical
