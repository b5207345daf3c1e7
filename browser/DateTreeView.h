#pragma once

#include <QTreeView>

// The date tree's view. As in a native tree control, a node once selected stays
// selected until another one is: Ctrl+click or Ctrl+Space never leave the tree
// without a selection.
class TDateTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit TDateTreeView(QWidget* parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
};
