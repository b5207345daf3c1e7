#pragma once

#include "platform/DateTime.h"
#include "store/CalendarGrid.h"

#include <QWidget>

#include <functional>

// The page "Termine verwalten": date tree, appointment list, the buttons and
// the edit pages. (Contract; the calendar browser fills it in.)
class TCalendarPage : public QWidget
{
    Q_OBJECT
public:
    TCalendarPage(CalendarGrid& grid, QWidget* parent = nullptr);

    // Restarts the save timer (every field edit calls it last).
    std::function<void()> restartSaveTimer;
    // Writes the data file at once (after adding and deleting).
    std::function<void()> saveNow;

    // Builds the date tree and fills every day's weekday.
    void ShowAll();
    // Root expanded; today's year and month expanded and today selected when inside the grid.
    void SetInitialPosition(dw::TDateTime today);

private:
    CalendarGrid& m_grid;
};
