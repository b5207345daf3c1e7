#pragma once

#include "app/AutostartEntry.h"

#include <QObject>

class QCheckBox;

// Ties the check box "Beim Anmelden starten" to the autostart entry: the box
// shows whether the entry is there whenever it is shown, ticking writes the
// entry, unticking removes it, and a failure is told and the box shows the truth.
class AutostartBox : public QObject
{
    Q_OBJECT
public:
    AutostartBox(QCheckBox* box, AutostartEntry entry, QObject* parent = nullptr);
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggled(bool on);

    QCheckBox* m_box;
    AutostartEntry m_entry;
};
