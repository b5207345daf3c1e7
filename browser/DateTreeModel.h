#pragma once

#include "browser/DateKey.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <array>
#include <optional>

class CalendarGrid;

// The tree of every date from 2000 to 2100: one root "Jahre", 101 years, their
// months and days. Nodes are made when the view asks for them; an index's
// internal id is its node's date key, so nothing is stored per node. The tree
// stays empty until it is built.
class DateTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Roles
    {
        KeyRole = Qt::UserRole + 1, // the node's date key (quint32)
        ImageIndexRole,             // index into the tree's image list
    };
    // The pictures of the image list, in its order.
    enum ImageIndex
    {
        ImageSelected = 0,
        ImageRoot = 1,
        ImageYear = 2,
        ImageMonth = 3,
        ImageDay = 4
    };

    explicit DateTreeModel(const CalendarGrid& grid, QObject* parent = nullptr);

    // Makes the nodes available (the grid's weekdays must have been filled).
    void Build();
    bool built() const { return m_built; }

    // The node that shows the "selected" picture.
    void setSelectedKey(std::optional<quint32> key);

    QModelIndex IndexOfKey(quint32 key) const;
    static quint32 KeyOf(const QModelIndex& index) { return static_cast<quint32>(index.internalId()); }
    QString NodeText(quint32 key) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int ChildCount(quint32 key) const;

    const CalendarGrid& m_grid;
    bool m_built = false;
    std::optional<quint32> m_selectedKey;
    std::array<QIcon, 5> m_images;
};
