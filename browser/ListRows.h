#pragma once

#include "browser/DateKey.h"
#include "series/Series.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class CalendarGrid;
namespace dw::series {
class SeriesSet;
}

// One row of the appointment list: caption ("Wann?"), sub-item ("Was?") and, for
// a summary row, the key of the tree node it stands for.
struct ListRow
{
    QString when;
    QString what;
    std::optional<quint32> node;
    bool occurrence = false; // a row of a series, marked as such

    bool operator==(const ListRow&) const = default;
};

// Which occurrence a row of the day shows: its series and its recurrence id.
struct OccurrenceRef
{
    std::string uid;
    dw::series::Wall recurrenceId = 0;

    bool operator==(const OccurrenceRef&) const = default;
};

// What the list shows for one tree node: its header and its rows. Appointment rows
// stand in their day's order, so row i is the appointment at index i.
struct ListContent
{
    NodeLevel level = NodeLevel::Root;
    QString header;
    std::vector<ListRow> rows;
    // At day level, the occurrences of series that follow the day's appointments, in row order.
    std::vector<OccurrenceRef> occurrences;
};

// "1 Termin", "3 Termine".
QString CountText(quint32 count);

// The header and rows for the node with this key; a level without rows gets the
// placeholder row. Times come in the regional long time format. The
// occurrences of the series count as appointments, and at day level follow the
// day's own appointments, series after series.
ListContent ListRowsFor(const CalendarGrid& grid, quint32 key, const dw::series::SeriesSet* series = nullptr);

inline constexpr const char* PlaceholderText = QT_TRANSLATE_NOOP("ListRows", "Keine Termine...");
