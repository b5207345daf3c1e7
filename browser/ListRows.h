#pragma once

#include "browser/DateKey.h"

#include <QString>

#include <optional>
#include <vector>

class CalendarGrid;

// One row of the appointment list: caption ("Wann?"), sub-item ("Was?") and, for
// a summary row, the key of the tree node it stands for.
struct ListRow
{
    QString when;
    QString what;
    std::optional<quint32> node;

    bool operator==(const ListRow&) const = default;
};

// What the list shows for one tree node: its header and its rows. Appointment rows
// stand in their day's order, so row i is the appointment at index i.
struct ListContent
{
    NodeLevel level = NodeLevel::Root;
    QString header;
    std::vector<ListRow> rows;
};

// "1 Termin", "3 Termine".
QString CountText(quint32 count);

// The header and rows for the node with this key; a level without rows gets the
// placeholder row. Times come in the regional long time format.
ListContent ListRowsFor(const CalendarGrid& grid, quint32 key);

inline constexpr const char* PlaceholderText = "Keine Termine...";
