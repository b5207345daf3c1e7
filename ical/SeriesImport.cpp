#include "ical/SeriesImport.h"

#include <QSet>

#include <string>

namespace dw::ical {

namespace {

using dw::series::Series;

// What makes two series the same to the import when their UIDs differ.
std::string SameKey(const Series& s)
{
    std::string key = std::to_string(s.start) + '\n' + std::to_string(static_cast<int>(s.zone)) +
                      (s.allDay ? "d\n" : "t\n") + s.tzid + '\n';
    if (s.rule)
        key += std::to_string(static_cast<int>(s.rule->frequency)) + '/' + std::to_string(s.rule->interval) +
               '/' + std::to_string(s.rule->count) + '/' +
               (s.rule->until ? std::to_string(*s.rule->until) : std::string("-")) + '/' + s.rule->text;
    for (const dw::series::Wall w : s.rdates)
        key += ',' + std::to_string(w);
    // Without blanks at its ends, as appointments are compared.
    const std::string& name = s.fields.name;
    const std::size_t first = name.find_first_not_of(" \t");
    if (first != std::string::npos)
        key += '\n' + name.substr(first, name.find_last_not_of(" \t") + 1 - first);
    return key;
}

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void AddSeries(dw::series::SeriesSet& into, const ImportedCalendar& calendar, Budget& budget,
               ImportReport& report, std::size_t& checked)
{
    QSet<QByteArray> uids;
    QSet<QByteArray> keys;
    for (const Series& s : into.list()) {
        uids.insert(Bytes(s.uid));
        keys.insert(Bytes(SameKey(s)));
    }
    const dw::series::SeriesSet& from = calendar.series;
    for (std::size_t i = 0; i < from.size(); ++i) {
        checked = i + 1;
        budget.check();
        const Series& s = from[i];
        const QByteArray key = Bytes(SameKey(s));
        if (uids.contains(Bytes(s.uid)) || keys.contains(key)) {
            ++report.alreadyThere;
            continue;
        }
        budget.chargeAdded();
        into.list().push_back(s);
        uids.insert(Bytes(s.uid));
        keys.insert(key);
        ++report.addedSeries;
        if (i < calendar.seriesLost.size())
            report.lostCharacters += calendar.seriesLost[i];
    }
    // The zones the series name, where the set has none of that name yet.
    if (report.addedSeries > 0)
        for (const auto& [tzid, text] : from.zones())
            into.zones().emplace(tzid, text);
}

} // namespace dw::ical
