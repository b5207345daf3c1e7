#pragma once

#include "messages/DataFileMessages.h"
#include "platform/WindowTimer.h"
#include "core/ReminderCheck.h"
#include "store/CalendarGrid.h"
#include "store/DataFile.h"

#include <QMainWindow>

#include <functional>
#include <memory>

namespace Ui {
class TMainForm;
}
class TCalendarPage;
class TTrayMenu;
class TrayIcon;
class IReminderDialog;

// The main window. It owns everything that lives as long as the program: the
// calendar grid, the data file's place, the three timers and the tray icon. The
// work of each part lives in that part's own classes; the handlers here delegate.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // Runs FormCreate.
    explicit TMainForm(QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TMainForm() override;

    void setReminderDialog(IReminderDialog* dialog);

    // The one data file of the whole run, from FormCreate on.
    DataFile& dataFile() const { return *m_dataFile; }
    // Called by FormDestroy when the program ends on a signal and the last save failed.
    std::function<void()> endSaveFailed;

    QString DataFolder;
    bool FirstShowDone = false;
    dw::WindowTimer* Timer1; // save timer
    dw::WindowTimer* Timer2; // check timer
    dw::WindowTimer* Timer3; // start-minimised delay
    CalendarGrid Grid;
    // Set once the program has been told to end; the event loop is not (re)entered.
    bool Terminating = false;

    QString DataFileName() const { return DataFilePath(DataFolder); }
    TCalendarPage* CalendarPage() const { return m_calendarPage; }
    TTrayMenu* PopupMenu2() const;
    TrayIcon* Tray() const { return m_tray; }
    Ui::TMainForm* form() const { return ui.get(); }
    bool Checking() const { return m_reminderCheck.Checking(); }

    void FormShow();
    void EndeBtnClick();
    void gminChange();
    void MinimiertCheckClick();
    void ManTerminsBtnClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void CheckTermins();
    bool SaveTermins(const QString& fileName);
    void OpenTermins(const QString& fileName);

    // Tray icon and background operation.
    void WMUser(quint32 wParam, int lParam);
    void Anzeigen1Click();
    void MinimizeBtnClick();
    void Beenden2Click();
    // A signal ends the program: as "Beenden", with no one there to answer a message.
    void EndFromSignal();
    void wwwBtnClick();
    void ueberbtnClick();
    // Brings the main window back from anywhere (hidden, minimised, behind others) and activates it.
    void ShowMainWindow();
    // Without a notification area nothing may hide the window for good.
    void TrayAvailabilityChanged(bool available);

    // The settings as the controls show them.
    StoredSettings CurrentSettings() const;

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void SetUpPictures();
    void ConnectHandlers();

    std::unique_ptr<Ui::TMainForm> ui;
    TCalendarPage* m_calendarPage = nullptr;
    TrayIcon* m_tray = nullptr;
    DataFileMessages m_dataFileMessages;
    std::unique_ptr<DataFile> m_dataFile;
    bool m_placed = false;
    ReminderCheck m_reminderCheck;
    IReminderDialog* m_reminderDialog = nullptr;
};
