#include "series/SeriesReader.h"

#include "plain/Translate.h"
#include "plain/Windows1252.h"
#include "series/Instances.h"
#include "series/SeriesEdit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

namespace dw::series {

namespace {

constexpr std::size_t MaxLineBytes = 1 << 20;
constexpr int MaxDepth = 32;

// Whether two names are the same, as iCalendar compares them: without case.
bool Same(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        const char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
        if (x != y)
            return false;
    }
    return true;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

struct Parameter
{
    std::string_view name;
    std::string_view value; // without the quotes of a quoted value
};

// One content line, seen in place: in the file, or where it was folded, in
// the reader's buffer until the next line is read.
struct Line
{
    int number = 0;
    std::string_view text;
    std::string_view name;
    std::vector<Parameter> parameters;
    std::size_t valueAt = 0;

    std::string_view value() const { return text.substr(valueAt); }
    bool named(const char* wanted) const { return Same(name, wanted); }
    std::optional<std::string_view> parameter(const char* wanted) const
    {
        for (const Parameter& p : parameters)
            if (Same(p.name, wanted))
                return p.value;
        return std::nullopt;
    }
    bool is(const char* key, const char* value) const { return named(key) && Same(this->value(), value); }
};

class Failure
{
public:
    Failure(int line, std::string text) : line(line), text(std::move(text)) {}
    int line;
    std::string text;
};

// The content lines of the file one at a time, unfolded. Lines are read in
// place; only a folded one is copied, to be joined.
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
        line.text = physical;
        if (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t')) {
            m_folded.assign(physical);
            while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t')) {
                m_folded.append(takePhysical().substr(1));
                if (m_folded.size() > MaxLineBytes)
                    throw Failure(line.number,
                                  dw::Tr("plain::SeriesReader", "Die Zeile ist länger als 1 MiB."));
            }
            line.text = m_folded;
        }
        if (line.text.size() > MaxLineBytes)
            throw Failure(line.number, dw::Tr("plain::SeriesReader", "Die Zeile ist länger als 1 MiB."));
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

    // Letters, digits and '-', looked up: names are most of what is scanned.
    static bool NameChar(char c)
    {
        static constexpr auto Table = [] {
            std::array<bool, 256> table{};
            for (int i = 0; i < 256; ++i)
                table[static_cast<std::size_t>(i)] =
                    (i >= 'A' && i <= 'Z') || (i >= 'a' && i <= 'z') || (i >= '0' && i <= '9') || i == '-';
            return table;
        }();
        return Table[static_cast<unsigned char>(c)];
    }

    // NAME *(;PARAM=VALUE) : VALUE
    static void Split(Line& line)
    {
        const std::string_view t = line.text;
        std::size_t at = 0;
        while (at < t.size() && NameChar(t[at]))
            ++at;
        if (at == 0)
            throw Failure(line.number, dw::Tr("plain::SeriesReader", "Die Zeile ist keine iCalendar-Zeile."));
        line.name = t.substr(0, at);
        if (!line.parameters.empty())
            line.parameters.clear();
        while (at < t.size() && t[at] == ';') {
            const std::size_t nameFrom = ++at;
            while (at < t.size() && NameChar(t[at]))
                ++at;
            if (at == nameFrom || at >= t.size() || t[at] != '=')
                throw Failure(line.number,
                              dw::Tr("plain::SeriesReader", "Ein Parameter der Zeile ist unvollständig."));
            const std::string_view name = t.substr(nameFrom, at - nameFrom);
            const std::size_t from = ++at;
            // Values, quoted or not, separated by commas; a quoted value may hold ; : and ,.
            for (;;) {
                if (at < t.size() && t[at] == '"') {
                    const std::size_t close = t.find('"', at + 1);
                    if (close == std::string_view::npos)
                        throw Failure(line.number,
                                      dw::Tr("plain::SeriesReader",
                                             "Ein Anführungszeichen der Zeile wird nicht geschlossen."));
                    at = close + 1;
                } else {
                    while (at < t.size() && t[at] != ';' && t[at] != ':' && t[at] != ',' && t[at] != '"')
                        ++at;
                }
                if (at < t.size() && t[at] == ',') {
                    ++at;
                    continue;
                }
                break;
            }
            std::string_view value = t.substr(from, at - from);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"' &&
                value.find('"', 1) == value.size() - 1)
                value = value.substr(1, value.size() - 2);
            line.parameters.push_back({name, value});
        }
        if (at >= t.size() || t[at] != ':')
            throw Failure(line.number,
                          dw::Tr("plain::SeriesReader", "Der Zeile fehlt der Doppelpunkt vor dem Wert."));
        line.valueAt = at + 1;
    }

    std::string_view m_bytes;
    std::string m_folded;
    std::size_t m_pos = 0;
    int m_number = 0;
};

// A date or date-time value as it stands.
struct Time
{
    Wall wall = 0;
    bool date = false;
    bool utc = false;
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

// The value of a property; its TZID, when it has one and tzid is given, in tzid.
Time TimeOf(const Line& line, std::string_view text, std::string* tzid = nullptr)
{
    std::optional<Time> t = ParseTime(text);
    if (!t)
        throw Failure(line.number, dw::Arg(dw::Tr("plain::SeriesReader", "%1 ist kein gültiges Datum: %2"),
                                           {line.name, text.substr(0, 40)}));
    const std::optional<std::string_view> value = line.parameter("VALUE");
    if (value && Same(*value, "DATE") && !t->date)
        throw Failure(
            line.number,
            dw::Arg(dw::Tr("plain::SeriesReader", "%1 soll ein Datum ohne Uhrzeit sein."), {line.name}));
    if (const std::optional<std::string_view> zone = line.parameter("TZID"); tzid && zone && !t->utc)
        tzid->assign(*zone);
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
    if (std::all_of(value.begin(), value.end(),
                    [](char c) { return c != '\\' && static_cast<unsigned char>(c) < 0x80; }))
        return std::string(value);
    std::string stored;
    stored.reserve(value.size());
    std::size_t plain = 0; // the start of the run not yet taken
    const auto take = [&](std::size_t end) { AppendAnsiFromUtf8(stored, value.substr(plain, end - plain)); };
    for (std::size_t i = 0; i + 1 < value.size(); ++i) {
        if (value[i] != '\\')
            continue;
        const char next = value[i + 1];
        if (next != 'n' && next != 'N' && next != '\\' && next != ';' && next != ',')
            continue;
        take(i);
        if (next == 'n' || next == 'N')
            stored += "\r\n";
        else
            stored += next;
        plain = ++i + 1;
    }
    take(value.size());
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
Rule ParseRule(const std::string& value, int number, Wall start, std::optional<Time>& until)
{
    static const char* const Days[7] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    Rule rule;
    bool simple = true;
    const CivilDate date = CivilFromDays(DayOf(start));
    std::vector<std::pair<std::string_view, std::string_view>> parts;
    for (std::size_t from = 0; from <= value.size();) {
        std::size_t end = value.find(';', from);
        if (end == std::string::npos)
            end = value.size();
        const std::string_view part = std::string_view(value).substr(from, end - from);
        from = end + 1;
        if (part.empty())
            continue;
        const std::size_t eq = part.find('=');
        const std::string_view key = part.substr(0, eq);
        if (eq == std::string_view::npos ||
            std::any_of(parts.begin(), parts.end(), [&](const auto& p) { return p.first == key; }))
            throw Failure(number, dw::Tr("plain::SeriesReader", "Die Wiederholungsregel ist nicht lesbar."));
        parts.emplace_back(key, part.substr(eq + 1));
    }
    const auto frequency =
        std::find_if(parts.begin(), parts.end(), [](const auto& p) { return p.first == "FREQ"; });
    if (frequency == parts.end())
        throw Failure(number, dw::Tr("plain::SeriesReader", "Der Wiederholungsregel fehlt die Frequenz."));
    const std::string_view freq = frequency->second;
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
        throw Failure(number,
                      dw::Tr("plain::SeriesReader", "Die Wiederholungsregel hat keine gültige Frequenz."));
    for (const auto& [key, text] : parts) {
        if (key == "FREQ" || key == "WKST") {
            // The week's start matters only to weekday lists, which make a rule beyond the simple form.
        } else if (key == "INTERVAL") {
            const std::optional<long long> n = Number(text);
            if (!n || *n < 1 || *n > std::numeric_limits<int>::max())
                throw Failure(number, dw::Tr("plain::SeriesReader",
                                             "Das Intervall der Wiederholungsregel ist ungültig."));
            rule.interval = static_cast<int>(*n);
        } else if (key == "COUNT") {
            const std::optional<long long> n = Number(text);
            if (!n || *n < 1 || *n > std::numeric_limits<std::uint32_t>::max())
                throw Failure(
                    number, dw::Tr("plain::SeriesReader", "Die Anzahl der Wiederholungsregel ist ungültig."));
            rule.count = static_cast<std::uint32_t>(*n);
        } else if (key == "UNTIL") {
            until = ParseTime(text);
            if (!until)
                throw Failure(number, dw::Tr("plain::SeriesReader",
                                             "Das Ende der Wiederholungsregel ist kein gültiges Datum."));
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
        rule.text = value;
    return rule;
}

// The properties of one VEVENT as read.
struct Event
{
    int line = 0;
    std::string uid;
    std::optional<Time> start;
    std::string tzid; // of the start
    std::optional<Time> recurrenceId;
    std::string rrule; // the rule's value, upper case
    int rruleLine = 0;
    std::vector<Time> rdates;
    std::vector<Time> exdates;
    Fields fields; // the texts; lead and repeat once the alarm is known
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
        throw Failure(line.number,
                      dw::Tr("plain::SeriesReader", "Der Zeitpunkt der letzten Erinnerung ist ungültig."));
    return *at;
}

void ReadAlarm(LineReader& lines, Event& event)
{
    Line line;
    bool first = !event.alarmRead;
    event.alarmRead = true;
    int depth = 0;
    while (lines.next(line)) {
        if (line.named("BEGIN")) {
            if (++depth > MaxDepth)
                throw Failure(line.number,
                              dw::Tr("plain::SeriesReader", "Die Komponenten sind zu tief verschachtelt."));
        } else if (line.named("END")) {
            if (depth-- == 0)
                return;
        } else if (first && depth == 0 && line.named("TRIGGER")) {
            const std::optional<std::string_view> value = line.parameter("VALUE");
            if (value && Same(*value, "DATE-TIME")) {
                const Time at = TimeOf(line, line.value());
                if (event.start)
                    event.trigger = at.wall - event.start->wall;
            } else if (const std::optional<long long> d = ParseDuration(line.value())) {
                event.trigger = *d;
            } else {
                throw Failure(line.number,
                              dw::Tr("plain::SeriesReader", "Die Vorlaufzeit der Erinnerung ist ungültig."));
            }
        } else if (first && depth == 0 && line.named("DURATION")) {
            event.every = ParseDuration(line.value());
            if (!event.every)
                throw Failure(line.number,
                              dw::Tr("plain::SeriesReader", "Der Abstand der Erinnerungen ist ungültig."));
        }
    }
    throw Failure(line.number, dw::Tr("plain::SeriesReader", "Die Datei endet mitten in einer Erinnerung."));
}

void Skip(LineReader& lines, int line)
{
    Line l;
    int depth = 0;
    while (lines.next(l)) {
        if (l.named("BEGIN") && ++depth > MaxDepth)
            throw Failure(l.number,
                          dw::Tr("plain::SeriesReader", "Die Komponenten sind zu tief verschachtelt."));
        if (l.named("END") && depth-- == 0)
            return;
    }
    throw Failure(line, dw::Tr("plain::SeriesReader", "Die Datei endet mitten in einer Komponente."));
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
            if (line.named("END"))
                break;
            if (line.named("BEGIN")) {
                if (line.is("BEGIN", "VALARM"))
                    ReadAlarm(lines, event);
                else
                    Skip(lines, line.number);
            } else if (line.named("UID")) {
                event.uid = std::string(line.value());
            } else if (line.named("DTSTART")) {
                event.start = TimeOf(line, line.value(), &event.tzid);
            } else if (line.named("RECURRENCE-ID")) {
                event.recurrenceId = TimeOf(line, line.value());
            } else if (line.named("RRULE")) {
                event.rrule = Upper(line.value());
                event.rruleLine = line.number;
            } else if (line.named("RDATE")) {
                ReadValues(line, event.rdates);
            } else if (line.named("EXDATE")) {
                ReadValues(line, event.exdates);
            } else if (line.named("SUMMARY")) {
                event.fields.name = Text(line.value());
            } else if (line.named("DESCRIPTION")) {
                event.fields.description = Text(line.value());
            } else if (line.named("DTSTAMP")) {
                if (const std::optional<Time> t = ParseTime(line.value()))
                    event.stamp = t->wall;
            } else if (line.named(LastRemindedProperty)) {
                event.lastReminded = Reminded(line);
            } else if (line.named(DoneProperty)) {
                event.done = Number(line.value()).value_or(0) != 0;
            } else if (line.named(OccurrenceStateProperty)) {
                const std::optional<std::string_view> of = line.parameter(OccurrenceParameter);
                if (!of)
                    throw Failure(line.number, dw::Tr("plain::SeriesReader",
                                                      "Der Erinnerung fehlt der Termin der Serie."));
                const std::optional<std::string_view> done = line.parameter(DoneParameter);
                event.states.push_back(
                    {TimeOf(line, *of), {0, Reminded(line), done && Number(*done).value_or(0) != 0}});
            }
        } catch (const Failure& f) {
            // A component cut off by the end of the file ends the reading (those
            // messages share these words in either language).
            if (f.text.find(dw::Tr("plain::SeriesReader", "endet mitten")) != std::string::npos)
                throw;
            if (!failure)
                failure = f;
        }
    }
    if (line.name != "END")
        throw Failure(begin, dw::Tr("plain::SeriesReader", "Die Datei endet mitten in einem Termin."));
    if (failure)
        throw *failure;
    if (!event.start)
        throw Failure(begin, dw::Tr("plain::SeriesReader", "Dem Termin fehlt sein Beginn (DTSTART)."));
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

Fields FieldsOf(Event& e)
{
    Fields f = std::move(e.fields);
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

Series SeriesOf(Event& e)
{
    Series s;
    s.uid = e.uid.empty() ? NewUid() : std::move(e.uid);
    s.stamp = e.stamp;
    const Time& start = *e.start;
    s.allDay = start.date;
    s.start = start.wall;
    if (start.utc || IsUtcName(e.tzid)) {
        s.zone = start.date ? Zone::Floating : Zone::Utc;
    } else if (!e.tzid.empty() && !start.date) {
        s.zone = Zone::Named;
        s.tzid = std::move(e.tzid);
    }
    if (e.rruleLine != 0) {
        std::optional<Time> until;
        Rule rule = ParseRule(e.rrule, e.rruleLine, s.start, until);
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

// FNV-1a: enough to sort UIDs by, the strings decide between equal ones.
std::uint64_t HashOf(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

struct Reading
{
    ReadOutcome out;
    // Series in a zone only libical knows wait until every zone of the file is
    // read, in their place in the list, so that the file's order stays.
    std::vector<std::pair<std::size_t, Event>> waiting;
    std::vector<Event> exceptions;

    void note(const Failure& f)
    {
        if (visit)
            throw GiveUp();
        if (out.complete) {
            out.complete = false;
            out.line = f.line;
            out.problem = f.text;
        }
    }

    std::vector<int> begins; // where each series of the list began

    // Streamed: each series goes to the visitor once its exceptions are read,
    // and is not kept. What only the whole reading can judge ends the stream.
    struct GiveUp
    {
    };
    const std::function<bool(const Series&)>* visit = nullptr;
    std::optional<Series> pending;
    std::vector<std::uint64_t> streamed; // the UIDs' hashes

    void add(Event& e)
    {
        if (!visit) {
            out.set.list().push_back(SeriesOf(e));
            begins.push_back(e.line);
            return;
        }
        flush();
        pending = SeriesOf(e);
        streamed.push_back(HashOf(pending->uid));
        if (NeedsHelper(*pending))
            throw GiveUp();
    }

    void flush()
    {
        if (pending && !(*visit)(*pending))
            throw GiveUp();
        pending.reset();
    }

    // An exception of its series, in the series' own time.
    static void Attach(Series& s, Event& e)
    {
        const Wall id = Own(s, *e.recurrenceId);
        Exception& x = ExceptionFor(s, id);
        x.start = Own(s, *e.start);
        x.fields = FieldsOf(e);
        SetState(s, id, e.lastReminded, e.done);
    }

    void exception(Event& e)
    {
        if (!visit)
            exceptions.push_back(std::move(e));
        else if (pending && pending->uid == e.uid)
            Attach(*pending, e);
        else
            throw GiveUp();
    }

    static bool Waits(const Event& e)
    {
        return InstalledHelper() && !e.tzid.empty() && !IsUtcName(e.tzid) && !IsLocalZone(e.tzid);
    }

    void calendar(LineReader& lines)
    {
        Line line;
        while (lines.next(line)) {
            if (line.named("END"))
                return;
            if (!line.named("BEGIN"))
                continue;
            if (line.is("BEGIN", "VEVENT")) {
                try {
                    Event e = ReadEvent(lines, line.number);
                    if (e.recurrenceId)
                        exception(e);
                    else if (Waits(e) && visit)
                        throw GiveUp();
                    else if (Waits(e)) {
                        begins.push_back(e.line);
                        waiting.emplace_back(out.set.list().size(), std::move(e));
                        out.set.list().emplace_back();
                    } else
                        add(e);
                } catch (const Failure& f) {
                    note(f);
                    if (f.text.find(dw::Tr("plain::SeriesReader", "endet mitten")) != std::string::npos)
                        throw;
                }
            } else if (line.is("BEGIN", "VTIMEZONE")) {
                zone(lines, line);
            } else {
                Skip(lines, line.number);
            }
        }
        throw Failure(line.number,
                      dw::Tr("plain::SeriesReader", "Die Datei endet, bevor der Kalender endet."));
    }

    // A zone's whole text, for libical, under its TZID.
    void zone(LineReader& lines, const Line& begin)
    {
        std::string text(begin.text);
        text += "\r\n";
        std::string tzid;
        Line line;
        int depth = 0;
        while (lines.next(line)) {
            text.append(line.text);
            text += "\r\n";
            if (line.named("TZID") && depth == 0)
                tzid = std::string(line.value());
            if (line.named("BEGIN") && ++depth > MaxDepth)
                throw Failure(line.number,
                              dw::Tr("plain::SeriesReader", "Die Komponenten sind zu tief verschachtelt."));
            if (line.named("END") && depth-- == 0) {
                if (!tzid.empty())
                    out.set.zones().emplace(tzid, std::move(text));
                return;
            }
        }
        throw Failure(begin.number,
                      dw::Tr("plain::SeriesReader", "Die Datei endet mitten in einer Zeitzone."));
    }

    // What needed every zone of the file: the series that waited, and the exceptions.
    void finish()
    {
        if (const Helper* helper = InstalledHelper())
            helper->UseZones(out.set.zones());
        std::vector<Series>& list = out.set.list();
        std::vector<bool> dropped(list.size());
        for (auto& [at, e] : waiting) {
            try {
                list[at] = SeriesOf(e);
            } catch (const Failure& f) {
                dropped[at] = true;
                note(f);
            }
        }
        // Sorted by a hash of the UID once: a UID twice is a fault, and an exception finds its series.
        std::vector<std::pair<std::uint64_t, std::size_t>> order;
        order.reserve(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!dropped[i])
                order.emplace_back(HashOf(list[i].uid), i);
        std::sort(order.begin(), order.end());
        std::vector<bool> twice(list.size());
        for (std::size_t i = 1; i < order.size(); ++i)
            for (std::size_t j = i; j-- > 0 && order[j].first == order[i].first;)
                if (!twice[order[j].second] && list[order[j].second].uid == list[order[i].second].uid) {
                    twice[order[i].second] = true;
                    note(Failure(
                        begins[order[i].second],
                        dw::Arg(dw::Tr("plain::SeriesReader", "Die Serie %1 steht zweimal in der Datei."),
                                {list[order[i].second].uid})));
                    break;
                }
        for (Event& e : exceptions) {
            const std::uint64_t hash = HashOf(e.uid);
            auto master =
                std::lower_bound(order.begin(), order.end(), std::pair<std::uint64_t, std::size_t>{hash, 0});
            while (master != order.end() && master->first == hash && list[master->second].uid != e.uid)
                ++master;
            if (master == order.end() || master->first != hash) {
                note(Failure(
                    e.line,
                    dw::Arg(dw::Tr("plain::SeriesReader", "Zur Ausnahme %1 gibt es keine Serie."), {e.uid})));
                continue;
            }
            Attach(list[master->second], e);
        }
        std::size_t kept = 0;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!twice[i] && !dropped[i] && kept++ != i)
                list[kept - 1] = std::move(list[i]);
        list.resize(kept);
    }
};

} // namespace

namespace {

void ReadInto(Reading& reading, std::string_view bytes)
{
    LineReader lines(bytes);
    Line line;
    try {
        if (lines.next(line)) {
            if (!line.is("BEGIN", "VCALENDAR"))
                throw Failure(line.number,
                              dw::Tr("plain::SeriesReader", "Die Datei ist keine iCalendar-Datei."));
            reading.calendar(lines);
        }
    } catch (const Failure& f) {
        reading.note(f);
    }
}

} // namespace

ReadOutcome ReadSeries(std::string_view bytes)
{
    Reading reading;
    // Our events take some two hundred bytes and more: room enough that the list seldom moves.
    reading.out.set.list().reserve(bytes.size() / 200 + 16);
    ReadInto(reading, bytes);
    reading.finish();
    return std::move(reading.out);
}

bool StreamSeries(std::string_view bytes, const std::function<bool(const Series&)>& visit)
{
    Reading reading;
    reading.visit = &visit;
    try {
        ReadInto(reading, bytes);
        reading.flush();
    } catch (const Reading::GiveUp&) {
        return false;
    }
    std::sort(reading.streamed.begin(), reading.streamed.end());
    return std::adjacent_find(reading.streamed.begin(), reading.streamed.end()) == reading.streamed.end();
}

std::string FormatReminded(TDateTime moment)
{
    return IsoMoment(moment);
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
