#include "ical/IcalConverter.h"
#include "ical/IcalEventFields.h"
#include "ical/IcalEvents.h"
#include "ical/IcalLines.h"
#include "ical/IcalMessages.h"
#include "ical/IcalNames.h"

#include "series/SeriesReader.h"

#include <QCoreApplication>
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
    static const char* const used[] = {"DTSTART",
                                       "DTEND",
                                       "DURATION",
                                       "SUMMARY",
                                       "DESCRIPTION",
                                       "RRULE",
                                       "RDATE",
                                       "EXDATE",
                                       "RECURRENCE-ID",
                                       "TRIGGER",
                                       LastRemindedProperty,
                                       DoneProperty,
                                       dw::series::OccurrenceStateProperty};
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
    return QCoreApplication::translate("IcalReader", "Das ist keine iCalendar-Datei: BEGIN:VCALENDAR fehlt.");
}

// Reads a calendar one content line at a time and converts each event as soon
// as its END arrives, so libical holds one event at a time, never the file's tree.
class StreamReader
{
public:
    StreamReader(const QByteArray& bytes, Budget& budget, Recurring recurring)
        : m_bytes(bytes), m_budget(budget), m_limits(budget.bounds()), m_lines(bytes, m_limits.lineBytes),
          m_converter(budget, recurring == Recurring::AsSeries), m_eventParser(icalparser_new()),
          m_zoneParser(icalparser_new())
    {
    }

    // Where the reading stands, for a message about a bound reached there.
    int line() const { return m_lastLine; }
    QString progress() const
    {
        return QCoreApplication::translate("IcalReader",
                                           " Bis dahin gelesen: Ereignisse %1, Termine daraus %2.")
            .arg(Number(m_events), Number(static_cast<long long>(m_converter.appointments())));
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
            if (got == LineReader::Bad && error.boundReached) {
                m_lastLine = error.line;
                throw BoundReached{error.text};
            }
            if (got != LineReader::Line)
                throw Failure(error.line, error.text);
            m_budget.check();
            m_lastLine = line.line;
            take(line);
        }
        if (!m_started)
            throw Failure(1, NotACalendar());
        if (!m_open.empty())
            throw Failure(m_lastLine, QCoreApplication::translate(
                                          "IcalReader", "Die Datei endet vor END:%1; sie ist unvollständig.")
                                          .arg(Shown(QByteArrayView(m_open.back()))));
        return m_converter.finish();
    }

private:
    struct Deferred
    {
        ComponentPtr event;
        EventInfo info;
        std::size_t place; // where its appointments belong among the others
    };

    void take(ContentLine& line)
    {
        // Some programs export one VCALENDAR after another: each is read in turn.
        if (m_open.empty()) {
            if (!line.is("BEGIN") || line.value().trimmed().toByteArray().toUpper() != "VCALENDAR")
                throw Failure(line.line,
                              m_started ? QCoreApplication::translate("IcalReader",
                                                                      "Nach END:VCALENDAR folgt noch Inhalt.")
                                        : NotACalendar());
            m_started = true;
            startCalendar(line);
        }
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
            throw Failure(line.line, QCoreApplication::translate("IcalReader", "BEGIN ohne Namen."));
        m_open.push_back(value);
        const std::size_t depth = m_open.size();
        if (m_skipFrom != 0)
            return;
        if (depth == 2 && value == "VEVENT") {
            m_inEvent = true;
            m_event = EventInfo{};
            m_event.lines.begin = line.line;
            // Each VCALENDAR defines its own zones: the same lines may recur otherwise in another.
            m_event.key = QByteArray::number(m_calendars) + '\n';
            feed(m_eventParser.get(), "BEGIN:VEVENT", line);
        } else if (depth == 2 && value == "VTIMEZONE") {
            m_inZone = true;
            m_zoneLine = line.line;
            feed(m_zoneParser.get(), "BEGIN:VTIMEZONE", line);
        } else if (m_inZone) {
            feed(m_zoneParser.get(), "BEGIN:" + value, line);
        } else if (m_inEvent && depth == 3 && value == "VALARM") {
            m_event.lines.note("VALARM", line.line);
            feed(m_eventParser.get(), "BEGIN:VALARM", line);
        } else if (depth > 1) {
            m_skipFrom = depth; // nothing in it is read
        }
    }

    void end(const ContentLine& line)
    {
        const QByteArray value = line.value().trimmed().toByteArray().toUpper();
        if (m_open.empty() || m_open.back() != value)
            throw Failure(line.line,
                          m_open.empty()
                              ? QCoreApplication::translate("IcalReader", "END ohne BEGIN.")
                              : QCoreApplication::translate("IcalReader", "END:%1 erwartet, nicht END:%2.")
                                    .arg(Shown(QByteArrayView(m_open.back())), Shown(QByteArrayView(value))));
        const std::size_t depth = m_open.size();
        m_open.pop_back();
        if (m_open.empty())
            readDeferred(); // their zones are this VCALENDAR's
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
        if (m_inEvent && !inAlarm && line.is("UID"))
            m_event.uid = line.value().trimmed().toByteArray();
        if (m_inEvent && !inAlarm && line.is("DTSTAMP"))
            m_event.stamp = line.value().trimmed().toByteArray();
        if (m_inEvent && !inAlarm && line.is("STATUS"))
            m_event.cancelled = line.value().trimmed().compare("CANCELLED", Qt::CaseInsensitive) == 0;
        if (m_inEvent && !(inAlarm ? AlarmUses(line.name) : EventUses(line.name)))
            return;
        if (!m_inEvent && !m_inZone)
            return;
        if (line.parameters > m_limits.parametersPerLine)
            throw Failure(line.line,
                          QCoreApplication::translate("IcalReader", "Die Zeile hat mehr als %1 Parameter.")
                              .arg(m_limits.parametersPerLine));
        icalparser* parser = m_inZone ? m_zoneParser.get() : m_eventParser.get();
        if (m_inEvent) {
            m_event.lines.note(inAlarm ? "VALARM/" + line.name : line.name, line.line);
            if (!inAlarm && DecidesOccurrences(line.name)) {
                m_event.key.append(line.bytes.data(), static_cast<qsizetype>(line.bytes.size()));
                m_event.key += '\n';
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
        EventLines& lines = m_event.lines;
        if (icalparser_get_state(parser) == ICALPARSER_ERROR && m_inEvent && lines.badLine == 0) {
            // An empty text is valid iCalendar; libical only drops it.
            const bool emptyText =
                (line.is("SUMMARY") || line.is("DESCRIPTION")) && line.value().trimmed().isEmpty();
            if (!emptyText) {
                lines.badLine = line.line;
                lines.badName = line.name;
                lines.badValue = line.value().toByteArray();
            }
        }
        return done;
    }

    void zone(ComponentPtr done)
    {
        if (!done || icalcomponent_isa(done.get()) != ICAL_VTIMEZONE_COMPONENT)
            return;
        m_converter.checkZone(done.get(), m_zoneLine, m_zoneChanges);
        icalcomponent_add_component(m_zones.get(), done.release());
    }

    void event(ComponentPtr done)
    {
        const EventLines& lines = m_event.lines;
        if (!done)
            throw Failure(lines.begin,
                          QCoreApplication::translate("IcalReader", "Der Termin lässt sich nicht lesen."));
        if (lines.badLine != 0)
            throw Failure(lines.badLine,
                          ParserErrorText(ParserErrorType(done.get()), lines.badName, lines.badValue));
        ++m_events;
        const std::size_t place = m_converter.place();
        if (waitsForLaterZone(done.get())) {
            m_deferred.push_back({std::move(done), std::move(m_event), place});
            return;
        }
        readEvent(done.get(), m_event, place);
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
        LineReader rest(m_bytes, m_limits.lineBytes, m_calendarFrom, m_calendarLine);
        ContentLine line;
        ReadError error;
        int depth = 1; // inside this VCALENDAR
        bool inZone = false;
        while (depth > 0 && rest.next(line, error) == LineReader::Line) {
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

    void startCalendar(const ContentLine& begin)
    {
        ++m_calendars;
        m_calendarFrom = m_lines.position();
        m_calendarLine = begin.line;
        m_zones.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
        m_laterZones.clear();
        m_laterZonesKnown = false;
    }

    void readDeferred()
    {
        for (Deferred& d : m_deferred)
            readEvent(d.event.get(), d.info, d.place);
        m_deferred.clear();
    }

    void readEvent(icalcomponent* event, const EventInfo& info, std::size_t place)
    {
        m_converter.convert(event, info, place, m_zones.get());
    }

    const QByteArray& m_bytes;
    Budget& m_budget;
    const Bounds& m_limits;
    LineReader m_lines;
    EventConverter m_converter;
    ComponentPtr m_zones; // a calendar that holds the VTIMEZONEs of this VCALENDAR read so far
    std::unique_ptr<icalparser, ParserDeleter> m_eventParser;
    std::unique_ptr<icalparser, ParserDeleter> m_zoneParser;

    std::vector<QByteArray> m_open; // the components open at this line, outermost first
    bool m_started = false;
    int m_calendars = 0;
    qsizetype m_calendarFrom = 0; // where the content of this VCALENDAR begins
    int m_calendarLine = 0;
    std::size_t m_skipFrom = 0; // depth of a component that is not read, 0: none
    bool m_inEvent = false;
    bool m_inZone = false;
    int m_zoneLine = 0;
    int m_lastLine = 0;
    int m_zoneChanges = 0;
    long long m_events = 0;
    EventInfo m_event;
    std::string m_piece;
    std::vector<Deferred> m_deferred;
    QSet<QByteArray> m_laterZones;
    bool m_laterZonesKnown = false;
};

} // namespace

ReadResult ReadCalendar(const QByteArray& bytes, const Bounds& bounds, Recurring recurring)
{
    Budget budget(bounds);
    try {
        budget.chargeInput(bytes.size());
    } catch (const BoundReached& reached) {
        return {std::nullopt, {1, reached.text, true}};
    }
    return ReadCalendar(bytes, budget, recurring);
}

ReadResult ReadCalendar(const QByteArray& bytes, Budget& budget, Recurring recurring)
{
    icalerror_set_errors_are_fatal(0);
    ReadResult result;
    StreamReader reader(bytes, budget, recurring);
    try {
        result.calendar = reader.read();
    } catch (const Failure& failure) {
        result.error = {failure.line, failure.text};
    } catch (const BoundReached& reached) {
        result.error = {std::max(1, reader.line()), reached.text + reader.progress(), true};
    }
    return result;
}

} // namespace dw::ical
