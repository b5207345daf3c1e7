#pragma once

#include "core/ReminderDialog.h"
#include "platform/DateTime.h"
#include "store/CalendarGrid.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace dw::series {
class SeriesSet;
}

// One pass over every appointment of the grid, reminding of the due ones through
// the dialog and recording the answers in the appointments. It neither saves nor
// refreshes anything: the save timer and the list pick the new values up.
class ReminderCheck
{
public:
    explicit ReminderCheck(CalendarGrid& grid, IReminderDialog* dialog = nullptr)
        : m_grid(grid), m_dialog(dialog)
    {
    }
    void setDialog(IReminderDialog* dialog) { m_dialog = dialog; }
    // The series, whose due occurrences come after the appointments of the
    // grid, in the order of their moments; seriesChanged is told of each answer.
    void setSeries(dw::series::SeriesSet* series, std::function<void()> seriesChanged)
    {
        m_series = series;
        m_seriesChanged = std::move(seriesChanged);
    }
    // Returns at once while a pass is running (a timer tick inside the dialog's loop).
    void CheckTermins();
    bool Checking() const { return m_checking; }

private:
    // False when the user cancelled the pass.
    bool WalkGrid(dw::TDateTime now);
    bool RemindOccurrences(dw::TDateTime now);
    // False when the user cancelled the pass.
    bool WalkDay(int year, int month, int day, std::int32_t dayNumber, dw::TDateTime now);
    // Shows the appointment at index of the day; false when the user cancelled the pass.
    bool Remind(int year, int month, int day, std::uint32_t index, dw::TDateTime moment, dw::TDateTime now);

    CalendarGrid& m_grid;
    IReminderDialog* m_dialog;
    dw::series::SeriesSet* m_series = nullptr;
    std::function<void()> m_seriesChanged;
    bool m_checking = false;
    bool m_dialogShown = false; // in the running pass
};

// "Am 24.12.2030 um 18:30:00 Uhr" in the user's regional formats.
QString ReminderHeading(dw::TDateTime moment, double timeOfDay);
