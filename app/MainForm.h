#pragma once

#include "core/AppCore.h"
#include "platform/WindowTimer.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class TMainForm;
class TCalendarPage;
} // namespace Ui
class TCalendarPage;
class TTrayMenu;
class TrayIcon;
class IReminderDialog;
class SyncSection;
class QLabel;
namespace dw::sync {
class SyncController;
struct SyncReport;
} // namespace dw::sync

// The main window. It binds its controls to the program's core (grid, data
// file, settings, save and check timers) and owns what only a window has: the
// pages, the tray icon and the start-minimised delay. Its handlers delegate.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // Runs FormCreate.
    explicit TMainForm(QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TMainForm() override;

    AppCore& core() { return m_core; }
    void setReminderDialog(IReminderDialog* dialog) { m_core.setReminderDialog(dialog); }

    dw::WindowTimer* Timer3() const { return m_timer3; }
    bool FirstShowDone() const { return m_firstShowDone; }
    // Tests that show the window without its start-up check.
    void skipFirstShowCheck() { m_firstShowDone = true; }

    QString DataFileName() const { return m_core.dataFilePath(); }
    TCalendarPage* CalendarPage() const { return m_calendarPage; }
    TTrayMenu* PopupMenu2() const;
    TrayIcon* Tray() const { return m_tray; }
    dw::sync::SyncController& sync() const { return *m_sync; }
    Ui::TMainForm* form() const { return ui.get(); }

    void FormShow();
    void EndeBtnClick();
    void gminChange();
    void MinimiertCheckClick();
    void ManTerminsBtnClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void CheckTermins();
    bool SaveTermins();

    // Tray icon and background operation.
    void WMUser(quint32 wParam, int lParam);
    void Anzeigen1Click();
    void MinimizeBtnClick();
    void Beenden2Click();
    // A signal ends the program: as "Beenden", with no one there to answer a message.
    void EndFromSignal();
    void wwwBtnClick();
    void ueberbtnClick();
    // Brings the main window back from anywhere (hidden, minimised, behind others) and
    // activates it, with the launcher's token of a later start where there is one.
    void ShowMainWindow(const QString& activationToken = QString());
    // Without a notification area nothing may hide the window for good.
    void TrayAvailabilityChanged(bool available);

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Out of sight as the platform allows: hidden where the icon or a later start
    // brings it back, else minimised to the task bar.
    void PutAway();
    void FormCreate();
    void FormDestroy();
    void SetUpSync();
    void ShowSyncResult(const dw::sync::SyncReport& report);
    void ConnectHandlers();
    void ShowSettings(const StoredSettings& settings);

    AppCore m_core;
    std::unique_ptr<Ui::TMainForm> ui;
    dw::WindowTimer* m_timer3; // start-minimised delay
    TCalendarPage* m_calendarPage = nullptr;
    TrayIcon* m_tray = nullptr;
    dw::sync::SyncController* m_sync = nullptr;
    SyncSection* m_syncSection = nullptr;
    QLabel* m_syncStatus = nullptr;
    bool m_firstShowDone = false;
    bool m_placed = false;
};

// The pictures, fonts and fixed sizes of the main window's own controls.
void SetUpMainWindowLook(TMainForm& window, Ui::TMainForm& ui);
// Tab goes from the pages' tabs through the page shown, top left to bottom right, then along the bottom bar.
void SetUpTabOrder(Ui::TMainForm& ui, Ui::TCalendarPage& calendar);
