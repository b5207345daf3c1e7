#include "browser/CalendarPage.h"

TCalendarPage::TCalendarPage(CalendarGrid& grid, QWidget* parent) : QWidget(parent), m_grid(grid)
{
}

void TCalendarPage::ShowAll()
{
}

void TCalendarPage::SetInitialPosition(dw::TDateTime)
{
}
