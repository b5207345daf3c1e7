#include "ical/CalendarImport.h"

#include "ical/IcalMessages.h"
#include "ical/IcalNames.h"

#include "platform/Ansi.h"

#include <QSet>

#include <string_view>
#include <utility>
#include <vector>

namespace dw::ical {

namespace {

// Characters outside Windows-1252 become "?", as in the window. Control
// characters other than tab and line breaks are no text, and iCalendar cannot
// carry them (an export would lose them): they are left out and counted too.
// A lone CR breaks the line as LF does; a description keeps CR LF, as the window does.
// Spaces and tabs at either end are dropped: libical strips them from a line, so
// a text that kept them would not come back the same from its own export.
QByteArray AnsiText(QString text, bool description, int& lost)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const qsizetype before = text.size();
    text.removeIf(
        [](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'); });
    const bool dropped = text.size() != before;
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && blank(text[first]))
        ++first;
    while (end > first && blank(text[end - 1]))
        --end;
    text = text.mid(first, end - first);
    if (description)
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray bytes = dw::ToAnsi(text);
    if (dropped || dw::FromAnsi(bytes) != text)
        ++lost;
    return bytes;
}

// What the import compares: the day (its grid position), the time to the second
// and the name without blanks at its ends. A name typed with blanks at its ends
// comes back from its export without them and is still the same appointment.
struct Slot
{
    int day;
    long long second;
    std::string_view name;
    friend bool operator==(const Slot&, const Slot&) = default;
};

// Seeded anew in each process, so no file can choose names that all fall into one bucket.
std::size_t qHash(const Slot& slot, std::size_t seed)
{
    return qHashMulti(seed, slot.day, slot.second,
                      QByteArrayView(slot.name.data(), static_cast<qsizetype>(slot.name.size())));
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The appointments of every day the import touches, each day read once: the
// "already there" check costs the same for the millionth appointment as for the first.
class Slots
{
public:
    explicit Slots(const CalendarGrid& grid) : m_grid(grid), m_read(CalendarGrid::TotalDays) {}

    // False when the day already holds the slot; otherwise it does from now on.
    bool insert(const QDate& date, const Slot& slot)
    {
        if (!m_read[static_cast<std::size_t>(slot.day)]) {
            m_read[static_cast<std::size_t>(slot.day)] = true;
            const DayList& day = m_grid.Day(date.year(), date.month(), date.day());
            for (std::uint32_t i = 0; i < day.count(); ++i) {
                const Appointment& a = *day.at(static_cast<std::int32_t>(i));
                m_slots.insert({slot.day, SecondsOfDays(a.TimeOfDay), Trimmed(a.Name)});
            }
        }
        const qsizetype before = m_slots.size();
        m_slots.insert(slot);
        return m_slots.size() != before;
    }

private:
    const CalendarGrid& m_grid;
    std::vector<bool> m_read;
    QSet<Slot> m_slots;
};

// An appointment's texts as the store keeps them; the occurrences of one event
// follow each other and share them, so each run of equal texts is converted once.
struct Texts
{
    QByteArray name;
    QByteArray description;
    int lostCharacters = 0;
};

class TextsOf
{
public:
    std::size_t of(const ImportedAppointment& item)
    {
        if (m_texts.empty() || item.name != m_name || item.description != m_description) {
            m_name = item.name;
            m_description = item.description;
            Texts t;
            t.name = AnsiText(item.name, false, t.lostCharacters);
            t.description = AnsiText(item.description, true, t.lostCharacters);
            m_texts.push_back(std::move(t));
        }
        return m_texts.size() - 1;
    }
    const Texts& operator[](std::size_t index) const { return m_texts[index]; }

private:
    QString m_name;
    QString m_description;
    std::vector<Texts> m_texts; // their bytes stay where they are as the vector grows
};

StoreFields NumbersOf(const ImportedAppointment& item)
{
    StoreFields f;
    f.timeOfDay = dw::EncodeTime(item.hour, item.minute, std::min(item.second, 59));
    f.firstLead = item.firstLead.value_or(DefaultFirstLead);
    f.repeatInterval = item.repeatInterval.value_or(DefaultRepeatInterval);
    f.lastReminded = item.lastReminded;
    f.done = item.done;
    return f;
}

} // namespace

QString ImportReport::text() const
{
    QString result;
    if (storeDamaged)
        result += QStringLiteral("termine.dat war beschädigt: %1 Termine ließen sich lesen und bleiben; %2\n")
                      .arg(storeAppointmentsRead)
                      .arg(storeCopy.isEmpty()
                               ? QStringLiteral("eine Kopie der Datei ließ sich nicht anlegen.")
                               : QStringLiteral("die ganze Datei ist als %1 gesichert.").arg(storeCopy));
    result += QStringLiteral("Hinzugefügt: %1\n"
                             "Übersprungen, schon vorhanden: %2\n"
                             "Übersprungen, außerhalb 2000–2100: %3\n"
                             "Texte mit verlorenen Zeichen: %4")
                  .arg(added)
                  .arg(alreadyThere)
                  .arg(outsideRange)
                  .arg(lostCharacters);
    if (cancelled > 0)
        result += QStringLiteral("\nAbgesagt, nicht übernommen: %1").arg(cancelled);
    if (cutOff > 0)
        result += QStringLiteral("\nWiederholungen über %1 je Termin nicht übernommen: %2")
                      .arg(MaxOccurrences)
                      .arg(cutOff);
    if (rulesEnded > 0)
        result += QStringLiteral("\nWiederholungsregeln nach %1 Schritten nicht weiter verfolgt: %2")
                      .arg(Bounds().ruleStepsPerEvent)
                      .arg(rulesEnded);
    if (outOfMemory)
        result += QStringLiteral("\nNicht genug Speicher: der Rest wurde nicht hinzugefügt.");
    return result;
}

int AppointmentCount(const CalendarGrid& grid)
{
    int count = 0;
    grid.ForEachDay([&](int, int, int, const DayList& day) { count += static_cast<int>(day.count()); });
    return count;
}

StoreFields StoreFieldsOf(const ImportedAppointment& item)
{
    StoreFields f = NumbersOf(item);
    f.name = AnsiText(item.name, false, f.lostCharacters);
    f.description = AnsiText(item.description, true, f.lostCharacters);
    return f;
}

ImportReport ImportInto(CalendarGrid& grid, const ImportedCalendar& calendar)
{
    Budget budget;
    return ImportInto(grid, calendar, budget);
}

ImportReport ImportInto(CalendarGrid& grid, const ImportedCalendar& calendar, Budget& budget)
{
    ImportReport report;
    report.outsideRange = calendar.outsideRange;
    report.cutOff = calendar.cutOff;
    report.rulesEnded = calendar.rulesEnded;
    report.cancelled = calendar.cancelled;
    report.alreadyThere = calendar.duplicates;
    // First what is new, against the store and the file itself: the store
    // changes only once the whole pass is known to keep within its budget.
    const qint64 firstDay = QDate(CalendarGrid::FirstYear, 1, 1).toJulianDay();
    Slots taken(grid);
    TextsOf texts;
    std::vector<std::pair<std::size_t, std::size_t>> fresh; // appointment, its texts
    const std::vector<ImportedAppointment>& items = calendar.appointments;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QDate& date = items[i].date;
        if (!CalendarGrid::Contains(date.year(), date.month(), date.day())) {
            ++report.outsideRange;
            continue;
        }
        const std::size_t t = texts.of(items[i]);
        const QByteArray& name = texts[t].name;
        const Slot slot{static_cast<int>(date.toJulianDay() - firstDay),
                        SecondsOfDays(NumbersOf(items[i]).timeOfDay),
                        std::string_view(name.constData(), static_cast<std::size_t>(name.size()))};
        try {
            budget.check();
            if (!taken.insert(date, slot)) {
                ++report.alreadyThere;
                continue;
            }
            budget.chargeAdded();
        } catch (const BoundReached& reached) {
            report.refused =
                reached.text +
                QStringLiteral(" Bis dahin geprüft: %1 von %2 Terminen der Datei; "
                               "nichts wurde importiert.")
                    .arg(Number(static_cast<long long>(i + 1)), Number(static_cast<long long>(items.size())));
            return report;
        }
        fresh.emplace_back(i, t);
    }
    for (const auto& [index, t] : fresh) {
        const ImportedAppointment& item = items[index];
        const int y = item.date.year();
        const int m = item.date.month();
        const int d = item.date.day();
        Appointment* a = grid.NewAppointment(y, m, d);
        if (!a || !ReplaceText(a->Name, texts[t].name) ||
            !ReplaceText(a->Description, texts[t].description)) {
            // The user has been told by the container; what was added stays.
            if (a)
                grid.DeleteAppointment(y, m, d, static_cast<std::int32_t>(grid.Day(y, m, d).count()) - 1);
            report.outOfMemory = true;
            break;
        }
        const StoreFields f = NumbersOf(item);
        a->TimeOfDay = f.timeOfDay;
        a->FirstLead = f.firstLead;
        a->RepeatInterval = f.repeatInterval;
        a->LastReminded = f.lastReminded;
        a->Done = f.done;
        report.lostCharacters += texts[t].lostCharacters;
        ++report.added;
    }
    return report;
}

} // namespace dw::ical
