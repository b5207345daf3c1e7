#pragma once

#include "reminder/ReminderDialog.h"
#include "store/CalendarGrid.h"

// One pass over every appointment, reminding of the due ones. (Contract; the
// reminder engine fills it in.)
class ReminderCheck
{
public:
    explicit ReminderCheck(CalendarGrid& grid, IReminderDialog* dialog = nullptr) : m_grid(grid), m_dialog(dialog) {}
    void setDialog(IReminderDialog* dialog) { m_dialog = dialog; }
    void CheckTermins();
    bool Checking() const { return m_checking; }

private:
    CalendarGrid& m_grid;
    IReminderDialog* m_dialog;
    bool m_checking = false;
};
