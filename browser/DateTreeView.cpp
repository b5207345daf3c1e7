#include "browser/DateTreeView.h"

TDateTreeView::TDateTreeView(QWidget* parent) : QTreeView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QItemSelectionModel::SelectionFlags TDateTreeView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags flags = QTreeView::selectionCommand(index, event);
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return flags;
}
