#pragma once

#include <QList>

class QWidget;

// Puts the widgets one after the other in their window's Tab chain, in the
// order given (the order they stand in on screen), whatever order they were
// made in.
void ChainTabOrder(const QList<QWidget*>& widgets);
