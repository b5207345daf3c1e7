#include "series/SeriesReader.h"

#include "plain/Windows1252.h"
#include "series/Instances.h"
#include "series/SeriesEdit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace dw::series {

namespace {

constexpr std::size_t MaxLineBytes = 1 << 20;
constexpr int MaxDepth = 32;

struct Parameter
{
    std::string name; // upper case
    std::string value;
};

struct Line
{
    int number = 0;
    std::string text;
    std::string name; // upper case
    std::vector<Parameter> parameters;
    std::size_t valueAt = 0;

    std::string_view value() const { return std::string_view(text).substr(valueAt); }
    const std::string* parameter(const char* wanted) const
    {
        for (const Parameter& p : parameters)
            if (p.name == wanted)
                return &p.value;
        return nullptr;
    }
    bool is(const char* key, const char* value) const { return name == key && Upper(this->value()) == value; }
    static std::string Upper(std::string_view text)
    {
        std::string upper(text);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return upper;
    }
};

class Failure
{
public:
    Failure(int line, std::string text) : line(line), text(std::move(text)) {}
    int line;
    std::string text;
};

// The content lines of the file one at a time, unfolded.
class LineReader
{
public:
    explicit LineReader(std::string_view bytes) : m_bytes(bytes) {}

    bool next(Line& line)
    {
        std::string_view physical;
        do {
            if (m_pos >= m_bytes.size())
                return false;
            physical = takePhysical();
        } while (physical.empty());
        line.number = m_number;
        line.text.assign(physical);
        while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t')) {
            const std::string_view more = takePhysical();
            line.text.append(more.substr(1));
            if (line.text.size() > MaxLineBytes)
                throw Failure(line.number, "Die Zeile ist länger als 1 MiB.");
        }
        if (line.text.size() > MaxLineBytes)
            throw Failure(line.number, "Die Zeile ist länger als 1 MiB.");
        Split(line);
        return true;
    }

private:
    std::string_view takePhysical()
    {
        const std::size_t end = m_bytes.find('\n', m_pos);
        std::string_view text = m_bytes.substr(m_pos, end == std::string_view::npos ? end : end - m_pos);
        m_pos = end == std::string_view::npos ? m_bytes.size() : end + 1;
        ++m_number;
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        return text;
    }

    static bool NameChar(char c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    }

    // NAME *(;PARAM=VALUE) : VALUE
    static void Split(Line& line)
    {
        const std::string& t = line.text;
        std::size_t at = 0;
        while (at < t.size() && NameChar(t[at]))
            ++at;
        if (at == 0)
            throw Failure(line.number, "Die Zeile ist keine iCalendar-Zeile.");
        line.name = Line::Upper(std::string_view(t).substr(0, at));
        line.parameters.clear();
        while (at < t.size() && t[at] == ';') {
            const std::size_t nameFrom = ++at;
            while (at < t.size() && NameChar(t[at]))
                ++at;
            if (at == nameFrom || at >= t.size() || t[at] != '=')
                throw Failure(line.number, "Ein Parameter der Zeile ist unvollständig.");
            Parameter p{Line::Upper(std::string_view(t).substr(nameFrom, at - nameFrom)), {}};
            ++at;
            for (;;) {
                if (at < t.size() && t[at] == '"') {
                    const std::size_t close = t.find('"', at + 1);
                    if (close == std::string::npos)
                        throw Failure(line.number, "Ein Anführungszeichen der Zeile wird nicht geschlossen.");
                    p.value.append(t, at + 1, close - at - 1);
                    at = close + 1;
                } else {
                    const std::size_t from = at;
                    while (at < t.size() && t[at] != ';' && t[at] != ':' && t[at] != ',' && t[at] != '"')
                        ++at;
                    p.value.append(t, from, at - from);
                }
                if (at < t.size() && t[at] == ',') {
                    p.value += ',';
                    ++at;
                    continue;
                }
                break;
            }
            line.parameters.push_back(std::move(p));
        }
        if (at >= t.size() || t[at] != ':')
            throw Failure(line.number, "Der Zeile fehlt der Doppelpunkt vor dem Wert.");
        line.valueAt = at + 1;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    int m_number = 0;
};

// A date or date-time value as it stands.
struct Time
{
    Wall wall = 0;
    bool date = false;
    bool utc = false;
    std::string tzid;
};

bool Digits(std::string_view text, std::size_t from, std::size_t count, int& value)
{
    value = 0;
    if (from + count > text.size())
        return false;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

std::optional<Time> ParseTime(std::string_view text)
{
    int y = 0, mo = 0, d = 0;
    if (!Digits(text, 0, 4, y) || !Digits(text, 4, 2, mo) || !Digits(text, 6, 2, d) ||
        !IsValidCivil(y, mo, d))
        return std::nullopt;
    Time t;
    t.wall = WallOf(DaysFromCivil(y, mo, d));
    if (text.size() == 8) {
        t.date = true;
        return t;
    }
    int h = 0, mi = 0, s = 0;
    if (text.size() < 15 || text[8] != 'T' || !Digits(text, 9, 2, h) || !Digits(text, 11, 2, mi) ||
        !Digits(text, 13, 2, s) || h > 23 || mi > 59 || s > 60)
        return std::nullopt;
    if (text.size() == 16 && text[15] == 'Z')
        t.utc = true;
    else if (text.size() != 15)
        return std::nullopt;
    // Local time has no leap second.
    t.wall += h * 3600 + mi * 60 + std::min(s, 59);
    return t;
}

Time TimeOf(const Line& line, std::string_view text)
{
    std::optional<Time> t = ParseTime(text);
    if (!t)
        throw Failure(line.number,
                      line.name + " ist kein gültiges Datum: " + std::string(text.substr(0, 40)));
    const std::string* value = line.parameter("VALUE");
    if (value && Line::Upper(*value) == "DATE" && !t->date)
        throw Failure(line.number, line.name + " soll ein Datum ohne Uhrzeit sein.");
    if (const std::string* tzid = line.parameter("TZID"); tzid && !t->utc)
        t->tzid = *tzid;
    return *t;
}

// ISO 8601 durations as iCalendar writes them: [+-]P[nW][nD][T[nH][nM][nS]].
std::optional<long long> ParseDuration(std::string_view text)
{
    bool negative = false;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    if (at >= text.size() || text[at++] != 'P')
        return std::nullopt;
    long long total = 0;
    bool inTime = false;
    bool any = false;
    while (at < text.size()) {
        if (text[at] == 'T' && !inTime) {
            inTime = true;
            ++at;
            continue;
        }
        long long n = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), n);
        if (error != std::errc() || end == text.data() + at || end == text.data() + text.size() || n > 1e9)
            return std::nullopt;
        at = static_cast<std::size_t>(end - text.data());
        const char unit = text[at++];
        const long long scale = unit == 'W' && !inTime   ? 7 * 86400
                                : unit == 'D' && !inTime ? 86400
                                : unit == 'H' && inTime  ? 3600
                                : unit == 'M' && inTime  ? 60
                                : unit == 'S' && inTime  ? 1
                                                         : 0;
        if (scale == 0)
            return std::nullopt;
        total += n * scale;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return negative ? -total : total;
}

// iCalendar TEXT, UTF-8, as Windows-1252 with the store's line breaks.
std::string Text(std::string_view value)
{
    std::string utf8;
    utf8.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\' || i + 1 >= value.size()) {
            utf8 += c;
            continue;
        }
        const char next = value[++i];
        if (next == 'n' || next == 'N')
            utf8 += '\n';
        else if (next == '\\' || next == ';' || next == ',')
            utf8 += next;
        else {
            utf8 += '\\';
            utf8 += next;
        }
    }
    std::string ansi;
    AppendAnsiFromUtf8(ansi, utf8);
    std::string stored;
    stored.reserve(ansi.size());
    for (const char c : ansi) {
        if (c == '\n')
            stored += '\r';
        stored += c;
    }
    return stored;
}

std::optional<long long> Number(std::string_view text)
{
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return n;
}

bool IsUtcName(std::string_view tzid)
{
    return tzid == "UTC" || tzid == "Etc/UTC" || tzid == "GMT" || tzid == "Etc/GMT" || tzid == "Z";
}

int WeekdayOf(Wall w)
{
    // 30 December 1899 was a Saturday; Monday is 0.
    const std::int64_t day = DayOf(w);
    return static_cast<int>(((day + 5) % 7 + 7) % 7);
}

// A rule in the simple form where it is one; otherwise its text, for libical.
// Parts that only repeat what the start says (BYDAY=MO for a weekly rule that
// starts on a Monday) keep a rule simple.
Rule ParseRule(const Line& line, Wall start, std::optional<Time>& until)
{
    static const char* const Days[7] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    Rule rule;
    bool simple = true;
    const CivilDate date = CivilFromDays(DayOf(start));
    std::map<std::string, std::string> parts;
    const std::string value = Line::Upper(line.value());
    for (std::size_t from = 0; from <= value.size();) {
        std::size_t end = value.find(';', from);
        if (end == std::string::npos)
            end = value.size();
        const std::string_view part = std::string_view(value).substr(from, end - from);
        from = end + 1;
        if (part.empty())
            continue;
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos || !parts.emplace(part.substr(0, eq), part.substr(eq + 1)).second)
            throw Failure(line.number, "Die Wiederholungsregel ist nicht lesbar.");
    }
    const auto frequency = parts.find("FREQ");
    if (frequency == parts.end())
        throw Failure(line.number, "Der Wiederholungsregel fehlt die Frequenz.");
    const std::string& freq = frequency->second;
    if (freq == "DAILY")
        rule.frequency = Frequency::Daily;
    else if (freq == "WEEKLY")
        rule.frequency = Frequency::Weekly;
    else if (freq == "MONTHLY")
        rule.frequency = Frequency::Monthly;
    else if (freq == "YEARLY")
        rule.frequency = Frequency::Yearly;
    else if (freq == "HOURLY" || freq == "MINUTELY" || freq == "SECONDLY")
        simple = false;
    else
        throw Failure(line.number, "Die Wiederholungsregel hat keine gültige Frequenz.");
    for (const auto& [key, text] : parts) {
        if (key == "FREQ" || key == "WKST") {
            // The week's start matters only to weekday lists, which make a rule beyond the simple form.
        } else if (key == "INTERVAL") {
            const std::optional<long long> n = Number(text);
            if (!n || *n < 1 || *n > std::numeric_limits<int>::max())
                throw Failure(line.number, "Das Intervall der Wiederholungsregel ist ungültig.");
            rule.interval = static_cast<int>(*n);
        } else if (key == "COUNT") {
            const std::optional<long long> n = Number(text);
            if (!n || *n < 1 || *n > std::numeric_limits<std::uint32_t>::max())
                throw Failure(line.number, "Die Anzahl der Wiederholungsregel ist ungültig.");
            rule.count = static_cast<std::uint32_t>(*n);
        } else if (key == "UNTIL") {
            until = ParseTime(text);
            if (!until)
                throw Failure(line.number, "Das Ende der Wiederholungsregel ist kein gültiges Datum.");
        } else if (key == "BYDAY" && text == Days[WeekdayOf(start)]) {
            simple = simple && freq == "WEEKLY";
        } else if (key == "BYMONTHDAY" && Number(text) == date.day) {
            simple = simple && (freq == "MONTHLY" || freq == "YEARLY");
        } else if (key == "BYMONTH" && Number(text) == date.month) {
            simple = simple && freq == "YEARLY";
        } else {
            simple = false;
        }
    }
    if (!simple)
        rule.text = std::string(line.value());
    return rule;
}

// The properties of one VEVENT as read.
struct Event
{
    int line = 0;
    std::string uid;
    std::optional<Time> start;
    std::optional<Time> recurrenceId;
    std::optional<Line> rrule;
    std::vector<Time> rdates;
    std::vector<Time> exdates;
    std::string name;
    std::string description;
    std::optional<long long> trigger;
    std::optional<long long> every;
    bool alarmRead = false;
    double lastReminded = 0.0;
    bool done = false;
    std::vector<std::pair<Time, ReminderState>> states;
    Wall stamp = 0;
};

void ReadValues(const Line& line, std::vector<Time>& into)
{
    const std::string_view value = line.value();
    for (std::size_t from = 0; from <= value.size();) {
        std::size_t end = value.find(',', from);
        if (end == std::string_view::npos)
            end = value.size();
        std::string_view one = value.substr(from, end - from);
        from = end + 1;
        // A period counts from its start.
        if (const std::size_t slash = one.find('/'); slash != std::string_view::npos)
            one = one.substr(0, slash);
        into.push_back(TimeOf(line, one));
    }
}

double Reminded(const Line& line)
{
    if (line.value() == "0")
        return 0.0;
    const std::optional<TDateTime> at = ParseReminded(line.value());
    if (!at)
        throw Failure(line.number, "Der Zeitpunkt der letzten Erinnerung ist ungültig.");
    return *at;
}

void ReadAlarm(LineReader& lines, Event& event)
{
    Line line;
    bool first = !event.alarmRead;
    event.alarmRead = true;
    int depth = 0;
    while (lines.next(line)) {
        if (line.name == "BEGIN") {
            if (++depth > MaxDepth)
                throw Failure(line.number, "Die Komponenten sind zu tief verschachtelt.");
        } else if (line.name == "END") {
            if (depth-- == 0)
                return;
        } else if (first && depth == 0 && line.name == "TRIGGER") {
            const std::string* value = line.parameter("VALUE");
            if (value && Line::Upper(*value) == "DATE-TIME") {
                const Time at = TimeOf(line, line.value());
                if (event.start)
                    event.trigger = at.wall - event.start->wall;
            } else if (const std::optional<long long> d = ParseDuration(line.value())) {
                event.trigger = *d;
            } else {
                throw Failure(line.number, "Die Vorlaufzeit der Erinnerung ist ungültig.");
            }
        } else if (first && depth == 0 && line.name == "DURATION") {
            event.every = ParseDuration(line.value());
            if (!event.every)
                throw Failure(line.number, "Der Abstand der Erinnerungen ist ungültig.");
        }
    }
    throw Failure(line.number, "Die Datei endet mitten in einer Erinnerung.");
}

void Skip(LineReader& lines, int line)
{
    Line l;
    int depth = 0;
    while (lines.next(l)) {
        if (l.name == "BEGIN" && ++depth > MaxDepth)
            throw Failure(l.number, "Die Komponenten sind zu tief verschachtelt.");
        if (l.name == "END" && depth-- == 0)
            return;
    }
    throw Failure(line, "Die Datei endet mitten in einer Komponente.");
}

// Reads one VEVENT after its BEGIN. A value that cannot be read throws after
// the event's END has been reached, so that reading goes on after it.
Event ReadEvent(LineReader& lines, int begin)
{
    Event event;
    event.line = begin;
    std::optional<Failure> failure;
    Line line;
    while (lines.next(line)) {
        try {
            if (line.name == "END")
                break;
            if (line.name == "BEGIN") {
                if (line.is("BEGIN", "VALARM"))
                    ReadAlarm(lines, event);
                else
                    Skip(lines, line.number);
            } else if (line.name == "UID") {
                event.uid = std::string(line.value());
            } else if (line.name == "DTSTART") {
                event.start = TimeOf(line, line.value());
            } else if (line.name == "RECURRENCE-ID") {
                event.recurrenceId = TimeOf(line, line.value());
            } else if (line.name == "RRULE") {
                event.rrule = line;
            } else if (line.name == "RDATE") {
                ReadValues(line, event.rdates);
            } else if (line.name == "EXDATE") {
                ReadValues(line, event.exdates);
            } else if (line.name == "SUMMARY") {
                event.name = Text(line.value());
            } else if (line.name == "DESCRIPTION") {
                event.description = Text(line.value());
            } else if (line.name == "DTSTAMP") {
                if (const std::optional<Time> t = ParseTime(line.value()))
                    event.stamp = t->wall;
            } else if (line.name == LastRemindedProperty) {
                event.lastReminded = Reminded(line);
            } else if (line.name == DoneProperty) {
                event.done = Number(line.value()).value_or(0) != 0;
            } else if (line.name == OccurrenceStateProperty) {
                const std::string* of = line.parameter(OccurrenceParameter);
                if (!of)
                    throw Failure(line.number, "Der Erinnerung fehlt der Termin der Serie.");
                const std::string* done = line.parameter(DoneParameter);
                event.states.push_back(
                    {TimeOf(line, *of), {0, Reminded(line), done && Number(*done).value_or(0) != 0}});
            }
        } catch (const Failure& f) {
            // A component cut off by the end of the file ends the reading.
            if (f.text.find("endet mitten") != std::string::npos)
                throw;
            if (!failure)
                failure = f;
        }
    }
    if (line.name != "END")
        throw Failure(begin, "Die Datei endet mitten in einem Termin.");
    if (failure)
        throw *failure;
    if (!event.start)
        throw Failure(begin, "Dem Termin fehlt sein Beginn (DTSTART).");
    return event;
}

// A value of the file in the series' own time.
Wall Own(const Series& s, const Time& t)
{
    if (t.date || s.allDay)
        return WallOf(DayOf(t.wall), s.allDay ? 0 : SecondOfDay(s.start));
    if (t.utc && s.zone != Zone::Utc) {
        Series utc;
        utc.zone = Zone::Utc;
        return FromLocal(s, ToLocal(utc, t.wall));
    }
    return t.wall;
}

Fields FieldsOf(const Event& e)
{
    Fields f;
    f.name = e.name;
    f.description = e.description;
    // An event without an alarm gets a new appointment's reminder, as the import gives it.
    if (e.trigger)
        f.firstLead = DaysFromSeconds(-*e.trigger);
    if (e.every)
        f.repeatInterval = DaysFromSeconds(*e.every);
    return f;
}

void SortUnique(std::vector<Wall>& values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

Series SeriesOf(const Event& e)
{
    Series s;
    s.uid = e.uid.empty() ? NewUid() : e.uid;
    s.stamp = e.stamp;
    const Time& start = *e.start;
    s.allDay = start.date;
    s.start = start.wall;
    if (start.utc || IsUtcName(start.tzid)) {
        s.zone = start.date ? Zone::Floating : Zone::Utc;
    } else if (!start.tzid.empty() && !start.date) {
        s.zone = Zone::Named;
        s.tzid = start.tzid;
    }
    if (e.rrule) {
        std::optional<Time> until;
        Rule rule = ParseRule(*e.rrule, s.start, until);
        if (until)
            rule.until = until->date ? WallOf(DayOf(until->wall) + 1) - 1 : Own(s, *until);
        s.rule = std::move(rule);
    }
    for (const Time& t : e.rdates)
        s.rdates.push_back(Own(s, t));
    for (const Time& t : e.exdates)
        s.exdates.push_back(Own(s, t));
    SortUnique(s.rdates);
    SortUnique(s.exdates);
    s.fields = FieldsOf(e);
    for (const auto& [id, state] : e.states)
        SetState(s, Own(s, id), state.lastReminded, state.done);
    return s;
}

struct Reading
{
    ReadOutcome out;
    std::vector<Event> masters;
    std::vector<Event> exceptions;

    void note(const Failure& f)
    {
        if (out.complete) {
            out.complete = false;
            out.line = f.line;
            out.problem = f.text;
        }
    }

    void calendar(LineReader& lines)
    {
        Line line;
        while (lines.next(line)) {
            if (line.name == "END")
                return;
            if (line.name != "BEGIN")
                continue;
            if (line.is("BEGIN", "VEVENT")) {
                try {
                    Event e = ReadEvent(lines, line.number);
                    (e.recurrenceId ? exceptions : masters).push_back(std::move(e));
                } catch (const Failure& f) {
                    note(f);
                    if (f.text.find("endet mitten") != std::string::npos)
                        throw;
                }
            } else if (line.is("BEGIN", "VTIMEZONE")) {
                zone(lines, line);
            } else {
                Skip(lines, line.number);
            }
        }
        throw Failure(line.number, "Die Datei endet, bevor der Kalender endet.");
    }

    // A zone's whole text, for libical, under its TZID.
    void zone(LineReader& lines, const Line& begin)
    {
        std::string text = begin.text + "\r\n";
        std::string tzid;
        Line line;
        int depth = 0;
        while (lines.next(line)) {
            text += line.text + "\r\n";
            if (line.name == "TZID" && depth == 0)
                tzid = std::string(line.value());
            if (line.name == "BEGIN" && ++depth > MaxDepth)
                throw Failure(line.number, "Die Komponenten sind zu tief verschachtelt.");
            if (line.name == "END" && depth-- == 0) {
                if (!tzid.empty())
                    out.set.zones().emplace(tzid, std::move(text));
                return;
            }
        }
        throw Failure(begin.number, "Die Datei endet mitten in einer Zeitzone.");
    }

    // Values are made series' own time once every zone is known: a file may
    // give its zones after the events.
    void makeSeries()
    {
        if (const Helper* helper = InstalledHelper())
            helper->UseZones(out.set.zones());
        for (const Event& e : masters) {
            try {
                if (!e.uid.empty() && out.set.Find(e.uid))
                    throw Failure(e.line, "Die Serie " + e.uid + " steht zweimal in der Datei.");
                out.set.list().push_back(SeriesOf(e));
            } catch (const Failure& f) {
                note(f);
            }
        }
        for (const Event& e : exceptions) {
            const std::optional<std::size_t> master = out.set.Find(e.uid);
            if (!master) {
                note(Failure(e.line, "Zur Ausnahme " + e.uid + " gibt es keine Serie."));
                continue;
            }
            Series& s = out.set[*master];
            const Wall id = Own(s, *e.recurrenceId);
            Exception& x = ExceptionFor(s, id);
            x.start = Own(s, *e.start);
            x.fields = FieldsOf(e);
            SetState(s, id, e.lastReminded, e.done);
        }
    }
};

} // namespace

ReadOutcome ReadSeries(std::string_view bytes)
{
    Reading reading;
    LineReader lines(bytes);
    Line line;
    try {
        if (lines.next(line)) {
            if (!line.is("BEGIN", "VCALENDAR"))
                throw Failure(line.number, "Die Datei ist keine iCalendar-Datei.");
            reading.calendar(lines);
        }
    } catch (const Failure& f) {
        reading.note(f);
    }
    reading.makeSeries();
    for (Series& s : reading.out.set.list())
        s.changed();
    return std::move(reading.out);
}

std::string FormatReminded(TDateTime moment)
{
    constexpr long long PerDay = 86400000;
    const long long ms = std::llround(moment * MSecsPerDay);
    long long days = ms / PerDay;
    long long rest = ms % PerDay;
    if (rest < 0) {
        --days;
        rest += PerDay;
    }
    const CivilDate d = CivilFromDays(days);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02lld:%02lld:%02lld.%03lld", d.year, d.month, d.day,
                  rest / 3600000, rest / 60000 % 60, rest / 1000 % 60, rest % 1000);
    return text;
}

std::optional<TDateTime> ParseReminded(std::string_view text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    if (text.size() != 23 || !Digits(text, 0, 4, y) || text[4] != '-' || !Digits(text, 5, 2, mo) ||
        text[7] != '-' || !Digits(text, 8, 2, d) || text[10] != 'T' || !Digits(text, 11, 2, h) ||
        text[13] != ':' || !Digits(text, 14, 2, mi) || text[16] != ':' || !Digits(text, 17, 2, s) ||
        text[19] != '.' || !Digits(text, 20, 3, ms) || !IsValidCivil(y, mo, d) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(y, mo, d)) +
           (h * 3600000.0 + mi * 60000.0 + s * 1000.0 + ms) / MSecsPerDay;
}

long long SecondsOfDays(double days)
{
    // Beyond a hundred thousand years nothing is meant; keep the number sane.
    constexpr double Limit = 1e8 * 86400;
    if (!std::isfinite(days))
        return 0;
    return std::llround(std::clamp(days * 86400.0, -Limit, Limit));
}

double DaysFromSeconds(long long seconds)
{
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        --days;
        rest += 86400;
    }
    return static_cast<double>(days) + static_cast<double>(rest) * 1000.0 / MSecsPerDay;
}

} // namespace dw::series
