#include "browser/DateTreeModel.h"

#include "controls/Pictures.h"
#include "store/CalendarGrid.h"

DateTreeModel::DateTreeModel(const CalendarGrid& grid, QObject* parent)
    : QAbstractItemModel(parent), m_grid(grid)
{
    static constexpr const char* Files[5] = {"tree_arrow.bmp", "tree_papers.bmp", "tree_year.bmp",
                                             "tree_month.bmp", "tree_day.bmp"};
    for (int i = 0; i < 5; ++i)
        m_images[static_cast<std::size_t>(i)] = PictureIcon(Files[i]);
}

void DateTreeModel::Build()
{
    beginResetModel();
    m_built = true;
    endResetModel();
}

void DateTreeModel::setSelectedKey(std::optional<quint32> key)
{
    if (key == m_selectedKey)
        return;
    const std::optional<quint32> previous = m_selectedKey;
    m_selectedKey = key;
    for (const std::optional<quint32>& k : {previous, key}) {
        if (!k)
            continue;
        const QModelIndex changed = IndexOfKey(*k);
        if (changed.isValid())
            emit dataChanged(changed, changed, {Qt::DecorationRole, ImageIndexRole});
    }
}

int DateTreeModel::ChildCount(quint32 key) const
{
    const DateKey date = DecodeKey(key);
    switch (date.level()) {
    case NodeLevel::Root:
        return CalendarGrid::Years;
    case NodeLevel::Year:
        return 12;
    case NodeLevel::Month:
        return m_grid.DayCount(date.year, date.month);
    case NodeLevel::Day:
        break;
    }
    return 0;
}

QModelIndex DateTreeModel::IndexOfKey(quint32 key) const
{
    if (!m_built)
        return {};
    const DateKey date = DecodeKey(key);
    switch (date.level()) {
    case NodeLevel::Root:
        return createIndex(0, 0, quintptr(0));
    case NodeLevel::Year:
        if (date.year > CalendarGrid::LastYear || date.year < CalendarGrid::FirstYear)
            return {};
        return createIndex(date.year - CalendarGrid::FirstYear, 0, quintptr(key));
    case NodeLevel::Month:
        if (!CalendarGrid::Contains(date.year, date.month, 1))
            return {};
        return createIndex(date.month - 1, 0, quintptr(key));
    case NodeLevel::Day:
        if (!CalendarGrid::Contains(date.year, date.month, date.day))
            return {};
        return createIndex(date.day - 1, 0, quintptr(key));
    }
    return {};
}

QModelIndex DateTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!m_built || column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? createIndex(0, 0, quintptr(0)) : QModelIndex();
    const quint32 parentKey = KeyOf(parent);
    if (row >= ChildCount(parentKey))
        return {};
    const DateKey date = DecodeKey(parentKey);
    switch (date.level()) {
    case NodeLevel::Root:
        return createIndex(row, 0, quintptr(MakeKey(CalendarGrid::FirstYear + row)));
    case NodeLevel::Year:
        return createIndex(row, 0, quintptr(MakeKey(date.year, row + 1)));
    case NodeLevel::Month:
        return createIndex(row, 0, quintptr(MakeKey(date.year, date.month, row + 1)));
    case NodeLevel::Day:
        break;
    }
    return {};
}

QModelIndex DateTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const DateKey date = DecodeKey(KeyOf(child));
    switch (date.level()) {
    case NodeLevel::Root:
        return {};
    case NodeLevel::Year:
        return createIndex(0, 0, quintptr(0));
    case NodeLevel::Month:
        return createIndex(date.year - CalendarGrid::FirstYear, 0, quintptr(MakeKey(date.year)));
    case NodeLevel::Day:
        return createIndex(date.month - 1, 0, quintptr(MakeKey(date.year, date.month)));
    }
    return {};
}

int DateTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!m_built)
        return 0;
    if (!parent.isValid())
        return 1;
    if (parent.column() != 0)
        return 0;
    return ChildCount(KeyOf(parent));
}

int DateTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool DateTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QString DateTreeModel::NodeText(quint32 key) const
{
    const DateKey date = DecodeKey(key);
    switch (date.level()) {
    case NodeLevel::Root:
        return tr("Jahre");
    case NodeLevel::Year:
        return QString::number(date.year);
    case NodeLevel::Month:
        return MonthName(date.month);
    case NodeLevel::Day:
        return DayCaption(date.year, date.month, date.day);
    }
    return {};
}

QVariant DateTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const quint32 key = KeyOf(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return NodeText(key);
    case KeyRole:
        return key;
    case ImageIndexRole:
    case Qt::DecorationRole: {
        int image = ImageSelected;
        if (key != m_selectedKey)
            image = static_cast<int>(DecodeKey(key).level()) + ImageRoot;
        if (role == ImageIndexRole)
            return image;
        return m_images[static_cast<std::size_t>(image)];
    }
    default:
        return {};
    }
}

Qt::ItemFlags DateTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (DecodeKey(KeyOf(index)).level() == NodeLevel::Day)
        result |= Qt::ItemNeverHasChildren;
    return result;
}
