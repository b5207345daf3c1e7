#include "ical/CalendarImport.h"

#include "ical/IcalMessages.h"
#include "ical/IcalNames.h"
#include "ical/SeriesImport.h"

#include "platform/Ansi.h"

#include <QCoreApplication>
#include <QSet>

#include <string_view>
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

    bool contains(const QDate& date, const Slot& slot)
    {
        if (!m_read[static_cast<std::size_t>(slot.day)]) {
            m_read[static_cast<std::size_t>(slot.day)] = true;
            const DayList& day = m_grid.Day(date.year(), date.month(), date.day());
            for (std::uint32_t i = 0; i < day.count(); ++i)
                insert(slot.day, *day.at(static_cast<std::int32_t>(i)));
        }
        return m_slots.contains(slot);
    }
    // The name is the appointment's own text, which stays where it is while the appointment does.
    void insert(int day, const Appointment& a)
    {
        m_slots.insert({day, SecondsOfDays(a.TimeOfDay), Trimmed(a.Name)});
    }

private:
    const CalendarGrid& m_grid;
    std::vector<bool> m_read;
    QSet<Slot> m_slots;
};

// An appointment's texts as the store keeps them; the occurrences of one event
// follow each other and share them, so each run of equal texts is converted once.
class TextsOf
{
public:
    struct Texts
    {
        QByteArray name;
        QByteArray description;
        int lostCharacters = 0;
    };

    const Texts& of(const ImportedAppointment& item)
    {
        if (!m_known || item.name != m_name || item.description != m_description) {
            m_known = true;
            m_name = item.name;
            m_description = item.description;
            m_texts = {};
            m_texts.name = AnsiText(item.name, false, m_texts.lostCharacters);
            m_texts.description = AnsiText(item.description, true, m_texts.lostCharacters);
        }
        return m_texts;
    }

private:
    bool m_known = false;
    QString m_name;
    QString m_description;
    Texts m_texts;
};

// Takes back what an import added, the last first: each day's are at its end.
void TakeBack(CalendarGrid& grid, const std::vector<QDate>& added)
{
    for (auto at = added.rbegin(); at != added.rend(); ++at) {
        const DayList& day = grid.Day(at->year(), at->month(), at->day());
        grid.DeleteAppointment(at->year(), at->month(), at->day(),
                               static_cast<std::int32_t>(day.count()) - 1);
    }
}

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
        result += QCoreApplication::translate(
                      "CalendarImport",
                      "termine.dat war beschädigt: %1 Termine ließen sich lesen und bleiben; %2\n")
                      .arg(storeAppointmentsRead)
                      .arg(storeCopy.isEmpty()
                               ? QCoreApplication::translate("CalendarImport",
                                                             "eine Kopie der Datei ließ sich nicht anlegen.")
                               : QCoreApplication::translate("CalendarImport",
                                                             "die ganze Datei ist als %1 gesichert.")
                                     .arg(storeCopy));
    if (addedSeries > 0)
        result += QCoreApplication::translate("CalendarImport", "Serien hinzugefügt: %1\n").arg(addedSeries);
    result += QCoreApplication::translate("CalendarImport", "Hinzugefügt: %1\n"
                                                            "Übersprungen, schon vorhanden: %2\n"
                                                            "Übersprungen, außerhalb 2000–2100: %3\n"
                                                            "Texte mit verlorenen Zeichen: %4")
                  .arg(added)
                  .arg(alreadyThere)
                  .arg(outsideRange)
                  .arg(lostCharacters);
    if (cancelled > 0)
        result +=
            QCoreApplication::translate("CalendarImport", "\nAbgesagt, nicht übernommen: %1").arg(cancelled);
    if (cutOff > 0)
        result += QCoreApplication::translate("CalendarImport",
                                              "\nWiederholungen über %1 je Termin nicht übernommen: %2")
                      .arg(MaxOccurrences)
                      .arg(cutOff);
    if (rulesEnded > 0)
        result += QCoreApplication::translate(
                      "CalendarImport", "\nWiederholungsregeln nach %1 Schritten nicht weiter verfolgt: %2")
                      .arg(Bounds().ruleStepsPerEvent)
                      .arg(rulesEnded);
    if (outOfMemory)
        result += QCoreApplication::translate("CalendarImport",
                                              "\nNicht genug Speicher: der Rest wurde nicht hinzugefügt.");
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

bool FillAppointment(Appointment& a, const StoreFields& f)
{
    if (QByteArrayView(a.Name) != f.name && !ReplaceText(a.Name, f.name))
        return false;
    if (QByteArrayView(a.Description) != f.description && !ReplaceText(a.Description, f.description))
        return false;
    a.TimeOfDay = f.timeOfDay;
    a.FirstLead = f.firstLead;
    a.RepeatInterval = f.repeatInterval;
    a.LastReminded = f.lastReminded;
    a.Done = f.done;
    return true;
}

QByteArray TextAsImported(const QByteArray& text, bool description)
{
    int lost = 0;
    return AnsiText(dw::FromAnsi(text), description, lost);
}

ImportReport ImportInto(CalendarGrid& grid, dw::series::SeriesSet& series, const ImportedCalendar& calendar)
{
    Budget budget;
    return ImportInto(grid, series, calendar, budget);
}

ImportReport ImportInto(CalendarGrid& grid, dw::series::SeriesSet& series, const ImportedCalendar& calendar,
                        Budget& budget)
{
    ImportReport report;
    report.outsideRange = calendar.outsideRange;
    report.cutOff = calendar.cutOff;
    report.rulesEnded = calendar.rulesEnded;
    report.cancelled = calendar.cancelled;
    report.alreadyThere = calendar.duplicates;
    const qint64 firstDay = QDate(CalendarGrid::FirstYear, 1, 1).toJulianDay();
    Slots taken(grid);
    TextsOf texts;
    std::vector<QDate> added; // in turn, so that a pass past a bound can take them back
    const std::vector<ImportedAppointment>& items = calendar.appointments;
    std::size_t i = 0;
    const std::size_t seriesBefore = series.size();
    std::size_t seriesChecked = 0;
    try {
        for (; i < items.size(); ++i) {
            budget.check();
            const ImportedAppointment& item = items[i];
            const int y = item.date.year();
            const int m = item.date.month();
            const int d = item.date.day();
            if (!CalendarGrid::Contains(y, m, d)) {
                ++report.outsideRange;
                continue;
            }
            const TextsOf::Texts& t = texts.of(item);
            StoreFields f = NumbersOf(item);
            f.name = t.name;
            f.description = t.description;
            const int day = static_cast<int>(item.date.toJulianDay() - firstDay);
            if (taken.contains(item.date, {day, SecondsOfDays(f.timeOfDay),
                                           std::string_view(t.name.constData(),
                                                            static_cast<std::size_t>(t.name.size()))})) {
                ++report.alreadyThere;
                continue;
            }
            budget.chargeAdded();
            Appointment* a = grid.NewAppointment(y, m, d);
            if (!a || !FillAppointment(*a, f)) {
                // The user has been told by the container; what was added stays.
                if (a)
                    grid.DeleteAppointment(y, m, d, static_cast<std::int32_t>(grid.Day(y, m, d).count()) - 1);
                report.outOfMemory = true;
                break;
            }
            taken.insert(day, *a);
            added.push_back(item.date);
            report.lostCharacters += t.lostCharacters;
            ++report.added;
        }
        if (!report.outOfMemory)
            AddSeries(series, calendar, budget, report, seriesChecked);
    } catch (const BoundReached& reached) {
        // Nothing of a pass past its budget stays, so no later save keeps half an import.
        TakeBack(grid, added);
        series.list().resize(seriesBefore);
        report.added = 0;
        report.addedSeries = 0;
        report.lostCharacters = 0;
        const QString appointments = QCoreApplication::translate("CalendarImport", "%1 von %2 Terminen")
                                         .arg(Number(static_cast<long long>(std::min(i + 1, items.size()))),
                                              Number(static_cast<long long>(items.size())));
        const QString checked = seriesChecked == 0
                                    ? appointments
                                    : QCoreApplication::translate("CalendarImport", "%1 und %2 von %3 Serien")
                                          .arg(appointments, Number(static_cast<long long>(seriesChecked)),
                                               Number(static_cast<long long>(calendar.series.size())));
        report.refused =
            reached.text + QCoreApplication::translate(
                               "CalendarImport", " Bis dahin geprüft: %1 der Datei; nichts wurde importiert.")
                               .arg(checked);
    }
    return report;
}

} // namespace dw::ical
