#include "ical/IcalEventFields.h"
#include "ical/IcalEvents.h"
#include "ical/IcalLines.h"
#include "ical/IcalMessages.h"
#include "ical/IcalNames.h"
#include "ical/IcalRecurrence.h"
#include "ical/IcalTimes.h"

#include "platform/DateTime.h"
#include "store/Appointment.h"

#include <QSet>

#include <algorithm>

namespace dw::ical {

namespace {

struct ParserDeleter
{
    void operator()(icalparser* p) const { icalparser_free(p); }
};

// What the import reads; libical sees nothing else, so no limit of its own and
// no fault in a property the program has no field for can cost anything.
bool EventUses(const QByteArray& name)
{
    static const char* const used[] = {"DTSTART",   "DTEND", "DURATION", "SUMMARY", "DESCRIPTION",
                                       "RRULE",     "RDATE", "EXDATE",   "TRIGGER", LastRemindedProperty,
                                       DoneProperty};
    return std::any_of(std::begin(used), std::end(used), [&](const char* u) { return name == u; });
}

bool AlarmUses(const QByteArray& name)
{
    return name == "TRIGGER" || name == "DURATION";
}

// What decides an event's occurrences; two events with the same lines recur alike.
bool DecidesOccurrences(const QByteArray& name)
{
    return name == "DTSTART" || name == "RRULE" || name == "RDATE" || name == "EXDATE";
}

QString NotACalendar()
{
    return QStringLiteral("Das ist keine iCalendar-Datei: BEGIN:VCALENDAR fehlt.");
}

// Reads a calendar one content line at a time and converts each event as soon
// as its END arrives, so libical holds one event at a time, never the file's tree.
class StreamReader
{
public:
    StreamReader(const QByteArray& bytes, const ReadLimits& limits)
        : m_bytes(bytes), m_limits(limits),
          m_deadline(limits.seconds + limits.secondsPerMegabyte * static_cast<double>(bytes.size()) / 1e6),
          m_lines(bytes, limits.lineBytes), m_recurrences(m_limits, m_deadline),
          m_zones(icalcomponent_new(ICAL_VCALENDAR_COMPONENT)), m_eventParser(icalparser_new()),
          m_zoneParser(icalparser_new())
    {
    }

    ImportedCalendar read()
    {
        ContentLine line;
        ReadError error;
        for (;;) {
            const LineReader::Result got = m_lines.next(line, error);
            if (got == LineReader::End)
                break;
            if (got == LineReader::NotContent && !m_started)
                throw Failure(error.line, NotACalendar());
            if (got != LineReader::Line)
                throw Failure(error.line, error.text);
            m_deadline.check(line.line);
            m_lastLine = line.line;
            take(line);
        }
        if (!m_started)
            throw Failure(1, NotACalendar());
        if (!m_ended)
            throw Failure(m_lastLine, QStringLiteral("Die Datei endet vor END:%1; sie ist unvollständig.")
                                          .arg(Shown(QByteArrayView(m_open.back()))));
        readDeferred();
        return std::move(m_out);
    }

private:
    struct Deferred
    {
        ComponentPtr event;
        EventLines lines;
        QByteArray key;
        std::size_t position; // where its appointments belong among the others
    };

    void take(ContentLine& line)
    {
        if (!m_started) {
            if (!line.is("BEGIN") || line.value().trimmed().toByteArray().toUpper() != "VCALENDAR")
                throw Failure(line.line, NotACalendar());
            m_started = true;
        }
        if (m_ended)
            throw Failure(line.line, QStringLiteral("Nach END:VCALENDAR folgt noch Inhalt."));
        if (line.is("BEGIN"))
            begin(line);
        else if (line.is("END"))
            end(line);
        else if (m_skipFrom == 0)
            property(line);
    }

    void begin(const ContentLine& line)
    {
        const QByteArray value = line.value().trimmed().toByteArray().toUpper();
        if (value.isEmpty())
            throw Failure(line.line, QStringLiteral("BEGIN ohne Namen."));
        m_open.push_back(value);
        const std::size_t depth = m_open.size();
        if (m_skipFrom != 0)
            return;
        if (depth == 2 && value == "VEVENT") {
            m_inEvent = true;
            m_event = EventLines{};
            m_event.begin = line.line;
            m_key.clear();
            feed(m_eventParser.get(), "BEGIN:VEVENT", line);
        } else if (depth == 2 && value == "VTIMEZONE") {
            m_inZone = true;
            m_zoneLine = line.line;
            feed(m_zoneParser.get(), "BEGIN:VTIMEZONE", line);
        } else if (m_inZone) {
            feed(m_zoneParser.get(), "BEGIN:" + value, line);
        } else if (m_inEvent && depth == 3 && value == "VALARM") {
            m_event.note("VALARM", line.line);
            feed(m_eventParser.get(), "BEGIN:VALARM", line);
        } else if (depth > 1) {
            m_skipFrom = depth; // nothing in it is read
        }
    }

    void end(const ContentLine& line)
    {
        const QByteArray value = line.value().trimmed().toByteArray().toUpper();
        if (m_open.empty() || m_open.back() != value)
            throw Failure(line.line, m_open.empty() ? QStringLiteral("END ohne BEGIN.")
                                                    : QStringLiteral("END:%1 erwartet, nicht END:%2.")
                                                          .arg(Shown(QByteArrayView(m_open.back())),
                                                               Shown(QByteArrayView(value))));
        const std::size_t depth = m_open.size();
        m_open.pop_back();
        m_ended = m_open.empty();
        if (m_skipFrom != 0) {
            if (depth == m_skipFrom)
                m_skipFrom = 0;
            return;
        }
        if (m_inZone) {
            icalcomponent* done = feed(m_zoneParser.get(), "END:" + value, line);
            if (depth == 2) {
                m_inZone = false;
                zone(ComponentPtr(done));
            }
        } else if (m_inEvent) {
            icalcomponent* done = feed(m_eventParser.get(), "END:" + value, line);
            if (depth == 2) {
                m_inEvent = false;
                event(ComponentPtr(done));
            }
        }
    }

    void property(ContentLine& line)
    {
        const bool inAlarm = m_inEvent && m_open.size() == 3;
        if (m_inEvent && !(inAlarm ? AlarmUses(line.name) : EventUses(line.name)))
            return;
        if (!m_inEvent && !m_inZone)
            return;
        if (line.parameters > m_limits.parametersPerLine)
            throw Failure(
                line.line,
                QStringLiteral("Die Zeile hat mehr als %1 Parameter.").arg(m_limits.parametersPerLine));
        icalparser* parser = m_inZone ? m_zoneParser.get() : m_eventParser.get();
        if (m_inEvent) {
            m_event.note(inAlarm ? "VALARM/" + line.name : line.name, line.line);
            if (!inAlarm && DecidesOccurrences(line.name)) {
                m_key.append(line.bytes.data(), static_cast<qsizetype>(line.bytes.size()));
                m_key += '\n';
            }
        }
        // libical takes at most 500 values of a line and drops the rest
        // silently: each date becomes a line of its own.
        if (line.is("RDATE") || line.is("EXDATE")) {
            const std::string head = line.bytes.substr(0, static_cast<std::size_t>(line.valueAt));
            const QByteArrayView values = line.value();
            for (qsizetype from = 0; from <= values.size();) {
                qsizetype comma = values.indexOf(',', from);
                if (comma < 0)
                    comma = values.size();
                m_piece = head;
                m_piece.append(values.data() + from, static_cast<std::size_t>(comma - from));
                feed(parser, m_piece, line);
                from = comma + 1;
            }
            return;
        }
        feed(parser, line.bytes, line);
    }

    icalcomponent* feed(icalparser* parser, const QByteArray& marker, const ContentLine& line)
    {
        std::string text = marker.toStdString();
        return feed(parser, text, line);
    }

    icalcomponent* feed(icalparser* parser, std::string& text, const ContentLine& line)
    {
        icalcomponent* done = icalparser_add_line(parser, text.data());
        if (icalparser_get_state(parser) == ICALPARSER_ERROR && m_inEvent && m_event.badLine == 0) {
            // An empty text is valid iCalendar; libical only drops it.
            const bool emptyText =
                (line.is("SUMMARY") || line.is("DESCRIPTION")) && line.value().trimmed().isEmpty();
            if (!emptyText) {
                m_event.badLine = line.line;
                m_event.badName = line.name;
                m_event.badValue = line.value().toByteArray();
            }
        }
        return done;
    }

    void zone(ComponentPtr done)
    {
        if (!done || icalcomponent_isa(done.get()) != ICAL_VTIMEZONE_COMPONENT)
            return;
        m_recurrences.checkZone(done.get(), m_zoneLine, m_zoneChanges);
        icalcomponent_add_component(m_zones.get(), done.release());
    }

    void event(ComponentPtr done)
    {
        if (!done)
            throw Failure(m_event.begin, QStringLiteral("Der Termin lässt sich nicht lesen."));
        if (m_event.badLine != 0)
            throw Failure(m_event.badLine,
                          ParserErrorText(ParserErrorType(done.get()), m_event.badName, m_event.badValue));
        if (waitsForLaterZone(done.get())) {
            m_deferred.push_back({std::move(done), m_event, m_key, m_out.appointments.size()});
            return;
        }
        readEvent(done.get(), m_event, m_key, m_out.appointments);
    }

    // A TZID that no VTIMEZONE so far defines, but one further down the file does.
    bool waitsForLaterZone(icalcomponent* event)
    {
        return AnyProperty(event, ICAL_ANY_PROPERTY, [&](icalproperty* p) {
            icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
            return tzid && !icalcomponent_get_timezone(m_zones.get(), icalparameter_get_tzid(tzid)) &&
                   laterZones().contains(QByteArray(icalparameter_get_tzid(tzid)));
        });
    }

    // The TZIDs of the zones in the rest of the file, looked for once, when an event first needs one.
    const QSet<QByteArray>& laterZones()
    {
        if (m_laterZonesKnown)
            return m_laterZones;
        m_laterZonesKnown = true;
        LineReader rest(m_bytes, m_limits.lineBytes, 0);
        ContentLine line;
        ReadError error;
        int depth = 0;
        bool inZone = false;
        while (rest.next(line, error) == LineReader::Line) {
            if (line.is("BEGIN")) {
                ++depth;
                inZone = inZone || (depth == 2 &&
                                    line.value().trimmed().compare("VTIMEZONE", Qt::CaseInsensitive) == 0);
            } else if (line.is("END")) {
                --depth;
                inZone = inZone && depth >= 2;
            } else if (inZone && depth == 2 && line.is("TZID")) {
                m_laterZones.insert(line.value().trimmed().toByteArray());
            }
        }
        return m_laterZones;
    }

    void readDeferred()
    {
        if (m_deferred.empty())
            return;
        std::vector<ImportedAppointment> merged;
        std::size_t from = 0;
        for (Deferred& d : m_deferred) {
            std::move(m_out.appointments.begin() + static_cast<std::ptrdiff_t>(from),
                      m_out.appointments.begin() + static_cast<std::ptrdiff_t>(d.position),
                      std::back_inserter(merged));
            from = d.position;
            readEvent(d.event.get(), d.lines, d.key, merged);
            d.event.reset();
        }
        std::move(m_out.appointments.begin() + static_cast<std::ptrdiff_t>(from), m_out.appointments.end(),
                  std::back_inserter(merged));
        m_out.appointments = std::move(merged);
    }

    void readEvent(icalcomponent* event, const EventLines& lines, QByteArray key,
                   std::vector<ImportedAppointment>& into)
    {
        icalproperty* dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (!dtstart)
            throw Failure(lines.begin, QStringLiteral("Termin ohne DTSTART."));
        const icaltimetype start = icalproperty_get_dtstart(dtstart);
        if (!Valid(start))
            throw Failure(lines.of("DTSTART"), QStringLiteral("DTSTART ist kein gültiges Datum."));
        const QString tzid = TzidOf(dtstart);
        const icaltimezone* zone = ZoneOf(dtstart, m_zones.get());

        ImportedAppointment item;
        const char* summary = icalcomponent_get_summary(event);
        const bool summaryGiven = summary || lines.has("SUMMARY");
        item.name =
            summaryGiven ? QString::fromUtf8(summary ? summary : "") : QString::fromLatin1(DefaultName);
        if (const char* description = icalcomponent_get_description(event))
            item.description = QString::fromUtf8(description);
        ReadAlarms(event, ToLocal(start, zone, tzid), m_zones.get(), lines, item);
        ReadOwnProperties(event, lines, item);
        if (!lines.has("RRULE") && !lines.has("RDATE"))
            key.clear();
        const std::vector<Moment> moments =
            m_recurrences.of(event, start, zone, tzid, m_zones.get(), lines, key, m_out);
        // The same occurrences under the same name again: the import would skip each as already there.
        if (!key.isEmpty()) {
            key += '\0' + item.name.toUtf8();
            if (m_seen.contains(key)) {
                m_out.duplicates += static_cast<int>(moments.size());
                return;
            }
            m_seen.insert(key);
        }
        m_taken += moments.size();
        if (m_taken > static_cast<std::size_t>(m_limits.appointments))
            throw Failure(lines.begin,
                          QStringLiteral("Die Datei ergibt mehr als %1 Termine; so viele nimmt der "
                                         "Import nicht an.")
                              .arg(Number(m_limits.appointments)));
        for (const Moment& m : moments) {
            item.date = m.date;
            item.hour = m.time.hour();
            item.minute = m.time.minute();
            item.second = m.time.second();
            into.push_back(item);
        }
    }

    const QByteArray& m_bytes;
    const ReadLimits& m_limits;
    Deadline m_deadline;
    LineReader m_lines;
    Recurrences m_recurrences;
    ComponentPtr m_zones; // a calendar that holds the file's VTIMEZONEs read so far
    std::unique_ptr<icalparser, ParserDeleter> m_eventParser;
    std::unique_ptr<icalparser, ParserDeleter> m_zoneParser;
    ImportedCalendar m_out;

    std::vector<QByteArray> m_open; // the components open at this line, outermost first
    bool m_started = false;
    bool m_ended = false;
    std::size_t m_skipFrom = 0; // depth of a component that is not read, 0: none
    bool m_inEvent = false;
    bool m_inZone = false;
    int m_zoneLine = 0;
    int m_lastLine = 0;
    int m_zoneChanges = 0;
    EventLines m_event;
    QByteArray m_key;
    std::string m_piece;
    std::vector<Deferred> m_deferred;
    QSet<QByteArray> m_laterZones;
    bool m_laterZonesKnown = false;
    QSet<QByteArray> m_seen;
    std::size_t m_taken = 0; // appointments read so far
};

} // namespace

ReadResult ReadCalendar(const QByteArray& bytes, const ReadLimits& limits)
{
    icalerror_set_errors_are_fatal(0);
    ReadResult result;
    try {
        result.calendar = StreamReader(bytes, limits).read();
    } catch (const Failure& failure) {
        result.error = {failure.line, failure.text};
    }
    return result;
}

} // namespace dw::ical
