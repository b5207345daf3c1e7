#include "ical/IcalConverter.h"

#include "ical/IcalEventFields.h"
#include "ical/IcalNames.h"

#include "store/Appointment.h"

#include <QCoreApplication>

namespace dw::ical {

namespace {

void RemoveAll(icalcomponent* c, icalproperty_kind kind)
{
    while (icalproperty* p = icalcomponent_get_first_property(c, kind)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
}

} // namespace

void EventConverter::convert(icalcomponent* event, const EventInfo& info, std::size_t place,
                             icalcomponent* zones)
{
    const EventLines& lines = info.lines;
    QByteArray key = info.key;
    icalproperty* rid = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    const bool changed = rid != nullptr;
    // A changed occurrence stands for itself alone, in place of the one it names.
    if (changed) {
        const icaltimetype at = icalproperty_get_recurrenceid(rid);
        if (!Valid(at))
            throw Failure(
                lines.of("RECURRENCE-ID"),
                QCoreApplication::translate("IcalConverter", "RECURRENCE-ID ist kein gültiges Datum."));
        if (!info.uid.isEmpty())
            m_collected.replace(info.uid, ToLocal(at, ZoneOf(rid, zones), TzidOf(rid)), at.is_date);
        for (const icalproperty_kind kind : {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY})
            RemoveAll(event, kind);
        key.clear();
    }
    if (m_keepSeries && changed && info.cancelled)
        m_series.change(event, info, {}, place, zones);
    if (info.cancelled) {
        ++m_out.cancelled;
        return;
    }
    icalproperty* dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!dtstart)
        throw Failure(lines.begin, QCoreApplication::translate("IcalConverter", "Termin ohne DTSTART."));
    const icaltimetype start = icalproperty_get_dtstart(dtstart);
    if (!Valid(start))
        throw Failure(lines.of("DTSTART"),
                      QCoreApplication::translate("IcalConverter", "DTSTART ist kein gültiges Datum."));
    const QString tzid = TzidOf(dtstart);
    const icaltimezone* zone = ZoneOf(dtstart, zones);

    ImportedAppointment item;
    const char* summary = icalcomponent_get_summary(event);
    const bool summaryGiven = summary || lines.has("SUMMARY");
    item.name = summaryGiven ? QString::fromUtf8(summary ? summary : "")
                             : QCoreApplication::translate("Appointment", DefaultName);
    if (const char* description = icalcomponent_get_description(event))
        item.description = QString::fromUtf8(description);
    ReadAlarms(event, ToLocal(start, zone, tzid), zones, lines, item);
    ReadOwnProperties(event, lines, item);
    if (!lines.has("RRULE") && !lines.has("RDATE"))
        key.clear();
    else if (m_keepSeries && !changed && m_series.take(event, info, item, zones, m_out))
        return;
    if (m_keepSeries && changed)
        m_series.change(event, info, item, place, zones);
    const std::vector<Moment> moments = m_recurrences.of(event, start, zone, tzid, zones, lines, key, m_out);
    if (!key.isEmpty()) {
        // The same occurrences under the same name again: the import would skip each as already there.
        key += '\0' + info.uid + '\0' + item.name.toUtf8();
        if (m_seen.contains(key)) {
            m_out.duplicates += static_cast<int>(moments.size());
            return;
        }
        m_seen.insert(key);
    }
    m_budget.chargeAppointments(static_cast<qint64>(moments.size()));
    m_collected.fill(place, moments, std::move(item), changed ? QByteArray() : info.uid);
}

} // namespace dw::ical
