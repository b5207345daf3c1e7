#pragma once

#include "browser/DateKey.h"
#include "browser/ListRows.h"
#include "store/Appointment.h"

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CalendarGrid;
class QTreeWidgetItem;
class RepeatPage;
namespace dw::series {
class SeriesSet;
struct Series;
} // namespace dw::series

// An appointment's values as they stood before a field was changed.
struct AppointmentValues
{
    QByteArray name;
    QByteArray description;
    double timeOfDay = 0;
    double firstLead = 0;
    double repeatInterval = 0;
    double lastReminded = 0;
    bool done = false;

    static AppointmentValues Of(const Appointment& a);
};

// What the calendar page does with the occurrences of series: shows the
// selected one in the edit fields as if it were an appointment, keeps a field's
// change for this occurrence alone (an exception) or for all of the series as
// the user answers, deletes alone (an excluded date) or all of the series, and
// serves the page "Wiederkehr", which turns an appointment into a series and back.
class OccurrenceEditor : public QObject
{
    Q_OBJECT
public:
    OccurrenceEditor(CalendarGrid& grid, RepeatPage& page, QObject* parent = nullptr);
    ~OccurrenceEditor() override;

    void setSeries(dw::series::SeriesSet* series, std::function<void()> changed);
    const dw::series::SeriesSet* series() const { return m_set; }

    // The day the list shows (none above day level) and its occurrence rows,
    // which follow the day's appointments.
    void setDay(std::optional<DateKey> day, std::vector<OccurrenceRef> rows);
    // How many occurrence rows the day has.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // Marks a row as one of a series.
    static void MarkRow(QTreeWidgetItem* item);

    // Occurrence k of the day as an appointment the fields show and change;
    // nullptr when there is none. Valid until the next call.
    Appointment* Select(int k);
    // The fields changed the selected occurrence from `before` to what Select
    // gave: asked once per occurrence whether for it alone or for all of its
    // series, the change is kept. False when the user cancelled.
    bool Apply(const AppointmentValues& before);

    // Asks whether to delete the marked occurrences alone or their whole
    // series: true for alone, false for all, nothing when cancelled.
    std::optional<bool> AskDeleteAlone();
    void DeleteOccurrences(const std::vector<int>& rows, bool alone);

    // The page "Wiederkehr" for what the list has selected: appointment
    // `index` of the day, occurrence k of the day, or nothing.
    void ShowRepeatForAppointment(int index);
    void ShowRepeatForOccurrence(int k);

    // What the page does for the editor.
    std::function<void()> refill;           // fill the list again
    std::function<void(int row)> selectRow; // select a row of the day
    std::function<void()> saveNow;
    // An appointment of the grid (its id) was added or deleted.
    std::function<void(std::uint32_t id, bool added)> appointmentEdited;

private:
    dw::series::Series* Find(const OccurrenceRef& ref) const;
    void RepeatChosen();
    void UntilChosen();
    void MakeSeries();
    void EndSeries();
    void ChangeRule(const std::optional<QDate>& until, bool fromChoice);
    // Appointments of the grid for what a series lost; the row of ref selected again where it is.
    void AddAppointment(std::int64_t day, const AppointmentValues& values);
    void Reselect(const OccurrenceRef& ref);
    void Changed();

    CalendarGrid& m_grid;
    RepeatPage& m_page;
    dw::series::SeriesSet* m_set = nullptr;
    std::function<void()> m_changed;
    std::optional<DateKey> m_day;
    std::vector<OccurrenceRef> m_rows;
    Appointment m_view{};
    std::optional<OccurrenceRef> m_selected;
    std::optional<int> m_appointment; // the appointment the page "Wiederkehr" shows
    // The answer for the selected occurrence: for it alone, or for all of its series.
    std::optional<bool> m_alone;
};
