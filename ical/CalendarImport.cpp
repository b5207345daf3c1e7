#include "ical/CalendarImport.h"

#include "ical/IcalNames.h"

#include "platform/Ansi.h"

#include <cstring>
#include <string_view>

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

// A name typed with blanks at its ends comes back from its export without them
// and is still the same appointment.
bool AlreadyThere(const DayList& day, long long second, const QByteArray& name)
{
    const std::uint32_t count = day.count();
    for (std::uint32_t i = 0; i < count; ++i) {
        const Appointment& a = *day.at(static_cast<std::int32_t>(i));
        if (SecondsOfDays(a.TimeOfDay) != second)
            continue;
        std::string_view stored(a.Name);
        const std::size_t first = stored.find_first_not_of(" \t");
        stored = first == std::string_view::npos ? std::string_view() : stored.substr(first);
        stored = stored.substr(0, stored.find_last_not_of(" \t") + 1);
        if (stored == std::string_view(name.constData(), static_cast<std::size_t>(name.size())))
            return true;
    }
    return false;
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
    if (cutOff > 0)
        result += QStringLiteral("\nWiederholungen über %1 je Termin nicht übernommen: %2")
                      .arg(MaxOccurrences)
                      .arg(cutOff);
    if (rulesEnded > 0)
        result += QStringLiteral("\nWiederholungsregeln nach %1 Schritten nicht weiter verfolgt: %2")
                      .arg(ReadLimits().ruleStepsPerEvent)
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
    StoreFields f;
    f.timeOfDay = dw::EncodeTime(item.hour, item.minute, std::min(item.second, 59));
    f.name = AnsiText(item.name, false, f.lostCharacters);
    f.description = AnsiText(item.description, true, f.lostCharacters);
    f.firstLead = item.firstLead.value_or(DefaultFirstLead);
    f.repeatInterval = item.repeatInterval.value_or(DefaultRepeatInterval);
    f.lastReminded = item.lastReminded;
    f.done = item.done;
    return f;
}

QByteArray TextAsImported(const QByteArray& text, bool description)
{
    int lost = 0;
    return AnsiText(dw::FromAnsi(text), description, lost);
}

ImportReport ImportInto(CalendarGrid& grid, const ImportedCalendar& calendar)
{
    ImportReport report;
    report.outsideRange = calendar.outsideRange;
    report.cutOff = calendar.cutOff;
    report.rulesEnded = calendar.rulesEnded;
    report.alreadyThere = calendar.duplicates;
    for (const ImportedAppointment& item : calendar.appointments) {
        const int y = item.date.year();
        const int m = item.date.month();
        const int d = item.date.day();
        if (!CalendarGrid::Contains(y, m, d)) {
            ++report.outsideRange;
            continue;
        }
        const StoreFields f = StoreFieldsOf(item);
        if (AlreadyThere(grid.Day(y, m, d), SecondsOfDays(f.timeOfDay), f.name)) {
            ++report.alreadyThere;
            continue;
        }
        Appointment* a = grid.NewAppointment(y, m, d);
        if (!a || !ReplaceText(a->Name, f.name) || !ReplaceText(a->Description, f.description)) {
            // The user has been told by the container; what was added stays.
            if (a)
                grid.DeleteAppointment(y, m, d, static_cast<std::int32_t>(grid.Day(y, m, d).count()) - 1);
            report.outOfMemory = true;
            break;
        }
        a->TimeOfDay = f.timeOfDay;
        a->FirstLead = f.firstLead;
        a->RepeatInterval = f.repeatInterval;
        a->LastReminded = f.lastReminded;
        a->Done = f.done;
        report.lostCharacters += f.lostCharacters;
        ++report.added;
    }
    return report;
}

} // namespace dw::ical
