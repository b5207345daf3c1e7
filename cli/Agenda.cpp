#include "cli/Agenda.h"

#include "ical/IcalNames.h"

#include "core/DueRule.h"
#include "platform/Ansi.h"
#include "platform/RegionalFormats.h"

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

QString FromStored(std::string_view bytes)
{
    return dw::FromAnsi(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString Text(std::string_view bytes)
{
    QString text = FromStored(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

std::optional<std::vector<StoredAppointment>> AgendaEntries(const StoreScan& store, const QDate& first,
                                                            int days, QString& error)
{
    const auto from = static_cast<std::int32_t>(dw::FromQDate(first));
    const std::int32_t to = from + days - 1;
    std::vector<StoredAppointment> result;
    if (!store.forEach(
            [&](const StoredAppointment& a) {
                if (a.day >= from && a.day <= to)
                    result.push_back(a);
            },
            error))
        return std::nullopt;
    // Days come in order from the file; within a day the time decides.
    std::stable_sort(result.begin(), result.end(),
                     [](const StoredAppointment& a, const StoredAppointment& b) {
                         return a.day != b.day ? a.day < b.day : a.timeOfDay < b.timeOfDay;
                     });
    return result;
}

std::optional<std::vector<StoredAppointment>> DueEntries(const StoreScan& store, dw::TDateTime now,
                                                         QString& error)
{
    std::vector<StoredAppointment> result;
    if (!store.forEach(
            [&](const StoredAppointment& a) {
                // The same arithmetic as the check pass, so the same bounds hold to the last bit.
                const dw::TDateTime moment = a.day + a.timeOfDay;
                if (IsDue(moment, moment - a.firstLead, a.lastReminded, a.repeatInterval, a.done != 0, now))
                    result.push_back(a);
            },
            error))
        return std::nullopt;
    return result;
}

QString AgendaText(const std::vector<StoredAppointment>& entries)
{
    QString out;
    for (const StoredAppointment& a : entries) {
        out += dw::FormatShortDate(a.day) + QLatin1Char(' ') + dw::FormatLongTime(a.timeOfDay) +
               QLatin1Char(' ') + FromStored(a.name) + QLatin1Char('\n');
        const QString description = Text(a.description);
        if (description.isEmpty())
            continue;
        for (const QString& line : description.split(QLatin1Char('\n')))
            out += QStringLiteral("    ") + line + QLatin1Char('\n');
    }
    return out;
}

QString AgendaJson(const std::vector<StoredAppointment>& entries)
{
    QString out;
    for (const StoredAppointment& a : entries) {
        int h = 0, m = 0, s = 0, ms = 0;
        dw::DecodeTime(a.timeOfDay, h, m, s, ms);
        QJsonObject o;
        o.insert(QStringLiteral("date"), dw::ToQDate(a.day).toString(Qt::ISODate));
        o.insert(QStringLiteral("time"), QTime(h, m, s).toString(Qt::ISODate));
        o.insert(QStringLiteral("name"), FromStored(a.name));
        o.insert(QStringLiteral("description"), Text(a.description));
        o.insert(QStringLiteral("leadMinutes"), Minutes(a.firstLead));
        o.insert(QStringLiteral("repeatMinutes"), Minutes(a.repeatInterval));
        o.insert(QStringLiteral("lastReminded"),
                 a.lastReminded == 0.0 ? QJsonValue()
                                       : QJsonValue(dw::ical::FormatLastReminded(a.lastReminded)));
        o.insert(QStringLiteral("done"), a.done != 0);
        out += QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
    }
    return out;
}

} // namespace dw::cli
