#include "app/cli/Agenda.h"

#include "app/cli/IcalNames.h"

#include "platform/Ansi.h"
#include "platform/RegionalFormats.h"
#include "reminder/DueRule.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace dw::cli {

namespace {

// Minutes with at most three decimals, so 3 days print as 4320.
double Minutes(double days)
{
    return std::isfinite(days) ? std::round(days * 1440.0 * 1000.0) / 1000.0 : 0.0;
}

QString Description(const Appointment& a)
{
    QString text = dw::FromAnsi(a.Description);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

std::vector<AgendaEntry> AgendaEntries(const CalendarGrid& grid, const QDate& first, int days)
{
    std::vector<AgendaEntry> result;
    for (int i = 0; i < days; ++i) {
        const QDate date = first.addDays(i);
        if (!date.isValid() || date.year() > CalendarGrid::LastYear)
            break;
        if (!CalendarGrid::Contains(date.year(), date.month(), date.day()))
            continue;
        const DayList& day = grid.Day(date.year(), date.month(), date.day());
        const auto dayNumber = static_cast<std::int32_t>(dw::FromQDate(date));
        const std::size_t from = result.size();
        for (std::uint32_t k = 0; k < day.count(); ++k)
            result.push_back({dayNumber, day.at(static_cast<std::int32_t>(k))});
        std::stable_sort(result.begin() + static_cast<std::ptrdiff_t>(from), result.end(),
                         [](const AgendaEntry& a, const AgendaEntry& b) {
                             return a.appointment->TimeOfDay < b.appointment->TimeOfDay;
                         });
    }
    return result;
}

std::vector<AgendaEntry> DueEntries(const CalendarGrid& grid, dw::TDateTime now)
{
    std::vector<AgendaEntry> result;
    auto dayNumber = static_cast<std::int32_t>(CalendarGrid::DateOf(CalendarGrid::FirstYear, 1, 1));
    std::uint32_t filledLeft = grid.FilledDays();
    grid.ForEachDay([&](int, int, int, const DayList& day) {
        const std::int32_t number = dayNumber++;
        if (filledLeft == 0)
            return;
        const std::uint32_t count = day.count();
        if (count == 0)
            return;
        --filledLeft;
        for (std::uint32_t i = 0; i < count; ++i) {
            const Appointment& item = *day.at(static_cast<std::int32_t>(i));
            // The same arithmetic as the check pass, so the same bounds hold to the last bit.
            const dw::TDateTime moment = number + item.TimeOfDay;
            if (IsDue(moment, moment - item.FirstLead, item.LastReminded, item.RepeatInterval, item.Done != 0,
                      now))
                result.push_back({number, &item});
        }
    });
    return result;
}

QString AgendaText(const std::vector<AgendaEntry>& entries)
{
    QString out;
    for (const AgendaEntry& e : entries) {
        const Appointment& a = *e.appointment;
        out += dw::FormatShortDate(e.day) + QLatin1Char(' ') + dw::FormatLongTime(a.TimeOfDay) +
               QLatin1Char(' ') + dw::FromAnsi(a.Name) + QLatin1Char('\n');
        const QString description = Description(a);
        if (description.isEmpty())
            continue;
        for (const QString& line : description.split(QLatin1Char('\n')))
            out += QStringLiteral("    ") + line + QLatin1Char('\n');
    }
    return out;
}

QString AgendaJson(const std::vector<AgendaEntry>& entries)
{
    QString out;
    for (const AgendaEntry& e : entries) {
        const Appointment& a = *e.appointment;
        int h = 0, m = 0, s = 0, ms = 0;
        dw::DecodeTime(a.TimeOfDay, h, m, s, ms);
        QJsonObject o;
        o.insert(QStringLiteral("date"), dw::ToQDate(e.day).toString(Qt::ISODate));
        o.insert(QStringLiteral("time"), QTime(h, m, s).toString(Qt::ISODate));
        o.insert(QStringLiteral("name"), dw::FromAnsi(a.Name));
        o.insert(QStringLiteral("description"), Description(a));
        o.insert(QStringLiteral("leadMinutes"), Minutes(a.FirstLead));
        o.insert(QStringLiteral("repeatMinutes"), Minutes(a.RepeatInterval));
        o.insert(QStringLiteral("lastReminded"),
                 a.LastReminded == 0.0 ? QJsonValue()
                                       : QJsonValue(dw::ical::FormatLastReminded(a.LastReminded)));
        o.insert(QStringLiteral("done"), a.Done != 0);
        out += QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
    }
    return out;
}

} // namespace dw::cli
