#pragma once

#include "platform/DateTime.h"
#include "store/CalendarGrid.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class TCalendarPage;
}
namespace dw::series {
class SeriesSet;
}
class DateTreeModel;
class OccurrenceEditor;
class RepeatPage;
class QTreeWidgetItem;
struct DateKey;

// The page "Termine verwalten": the tree of every date, the list that summarises
// the selected year or month or lists the selected day's appointments, the buttons
// that add and delete appointments and the edit pages that change them field by
// field. The list is rebuilt from the grid on every refill; a row's index is its
// appointment's index in the day.
class TCalendarPage : public QWidget
{
    Q_OBJECT
public:
    TCalendarPage(CalendarGrid& grid, QWidget* parent = nullptr);
    ~TCalendarPage() override;

    // Restarts the save timer (every field edit calls it last).
    std::function<void()> restartSaveTimer;
    // Writes the data file at once (after adding and deleting).
    std::function<void()> saveNow;
    // An appointment was added, changed or deleted; its id (CalendarGrid::IdOf)
    // is handed out only when someone listens.
    using Edit = AppointmentEdit;
    std::function<void(std::uint32_t id, Edit edit)> appointmentEdited;

    // The series, whose occurrences the list shows after each day's
    // appointments; changed is told of each change of them.
    void setSeries(dw::series::SeriesSet* series, std::function<void()> changed);
    OccurrenceEditor* occurrences() const { return m_occurrences; }
    RepeatPage* repeatPage() const { return m_repeatPage; }

    // Builds the date tree and fills every day's weekday.
    void ShowAll();
    // Root expanded; today's year and month expanded and today selected when inside the grid.
    void SetInitialPosition(dw::TDateTime today);

    // Date tree.
    void TreeView1Change();
    void UpBtnClick();
    // The key of the selected tree node, if any.
    std::optional<quint32> SelectedKey() const;
    // Selects the node of a date key, opening its parents.
    void SelectNode(quint32 key);

    // Appointment list.
    void ShowInformation();
    // Refills the list after appointments came in, changed or went from outside;
    // the selected appointment is selected again wherever it now stands.
    void RefreshList();
    bool IsTerminSelected();
    void ListView1Change();
    void ListView1DblClick();

    // Adding, deleting and editing.
    void AddTerminBtnClick();
    void DelTerminBtnClick();
    void NameEdChange();
    void DescEdChange();
    void hourChange();
    void minChange();
    void day1Change();
    void day2Change();
    void doneCheckClick();
    void ClearLastBtnClick();

    // The appointment of the first selected row; valid only right after
    // IsTerminSelected returned true, within the same event.
    Appointment* SelectedAppointment = nullptr;

    Ui::TCalendarPage* form() const { return ui.get(); }
    DateTreeModel* treeModel() const { return m_treeModel; }

    // Data role of a summary row: the key of the tree node it stands for.
    static constexpr int NodeKeyRole = Qt::UserRole + 1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpControls();
    void ConnectHandlers();
    int FirstSelectedRow() const;
    QTreeWidgetItem* FirstSelectedItem() const;
    void ShowAppointment(const Appointment& appointment);
    void StoreTimeOfDay();
    template <typename Store> void EditSelected(Store&& store);
    void SetUpOccurrences();
    void DeleteSelectedRows(const DateKey& date);
    void TellEdit(const DateKey& date, int index, Edit edit);

    std::unique_ptr<Ui::TCalendarPage> ui;
    CalendarGrid& m_grid;
    DateTreeModel* m_treeModel;
    RepeatPage* m_repeatPage;
    OccurrenceEditor* m_occurrences;
    // The occurrence IsTerminSelected found (its index among the day's), -1 for an appointment.
    int m_occurrenceRow = -1;
    // The fields are being set to show an appointment: their handlers store nothing.
    bool m_showing = false;
    // The appointment the edit pages show; 0: none.
    std::uint32_t m_shownId = 0;
};
