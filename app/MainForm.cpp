#include "app/MainForm.h"

#include "app/AutostartBox.h"
#include "app/SyncSection.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "browser/CalendarPage.h"
#include "controls/AboutBox.h"
#include "controls/TabOrder.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/Shell.h"
#include "platform/Termination.h"
#include "platform/WindowSystem.h"
#include "ui_MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QScreen>

namespace {
constexpr quint32 TrayIconId = 0;
} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>()),
      m_timer3(new dw::WindowTimer(500, false, this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("MainForm"));
    setFont(dw::FormFont());
    resize(630, 485);

    m_calendarPage = new TCalendarPage(m_core.grid(), ui->TabSheet1);
    ui->TabSheet1->layout()->addWidget(m_calendarPage);
    m_calendarPage->restartSaveTimer = [this] { m_core.RestartSaveTimer(); };
    m_calendarPage->saveNow = [this] { SaveTermins(); };
    m_calendarPage->appointmentEdited = [this](std::uint32_t id, AppointmentEdit edit) {
        m_core.AppointmentEdited(id, edit);
    };

    m_tray = new TrayIcon(this);

    SetUpMainWindowLook(*this, *ui);
    SetUpTabOrder(*ui, *m_calendarPage->form());
    ConnectHandlers();
    new AutostartBox(ui->AutostartCheck, AutostartEntry::ForThisProgram(), this);
    FormCreate();
    SetUpSync();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::FormCreate()
{
    // From here on a logout ends the program cleanly, also while a start-up message is open.
    dw::InstallTerminationHandler(this, [this] { EndFromSignal(); });
    m_core.Open(dw::ResolveDataFolder());
    m_calendarPage->setSeries(&m_core.series(), [this] { m_core.SeriesChanged(); });
    {
        const QSignalBlocker quiet(ui->MitteilungCheck);
        ui->MitteilungCheck->setChecked(m_core.NotificationsOn());
    }
    // A damaged file has been kept aside by the load; the window stays fully usable.
    m_calendarPage->ShowAll();
    m_calendarPage->SetInitialPosition(dw::Now());
    m_tray->AddTrayIcon(TrayIconId, windowIcon(), QStringLiteral("Datumswecker"));
}

void TMainForm::SetUpSync()
{
    // Nothing of the network is loaded before an account asks for a sync.
    m_sync = new dw::sync::SyncController(m_core, this);
    m_sync->mayChangeGrid = [this] { return !QApplication::activeModalWidget() && !m_core.Checking(); };
    // The section's controls are made when the settings page is first shown, not at every start.
    connect(ui->PageControl2, &QTabWidget::currentChanged, this, [this](int page) {
        if (!m_syncSection && ui->PageControl2->widget(page) == ui->TabSheet2) {
            m_syncSection = new SyncSection(ui->SettingsArea, 150, *m_sync);
            ChainTabOrder(QList<QWidget*>{ui->MitteilungCheck} + m_syncSection->tabOrder() +
                          QList<QWidget*>{ui->wwwBtn});
        }
    });
    // A failed sync shows where the person looks, not only on the settings page.
    m_syncStatus = new QLabel(ui->StatusBar1);
    m_syncStatus->setAccessibleName(tr("Abgleich"));
    ui->StatusBar1->addWidget(m_syncStatus, 1);
    connect(m_sync, &dw::sync::SyncController::finished, this, &TMainForm::ShowSyncResult);
    m_sync->begin();
}

void TMainForm::ShowSyncResult(const dw::sync::SyncReport& report)
{
    const QString failed = report.ok() ? QString() : report.fullText();
    m_syncStatus->setText(failed.isEmpty()
                              ? QString()
                              : tr("Abgleich fehlgeschlagen: ") + failed.section(QLatin1Char('\n'), 0, 0));
    m_syncStatus->setToolTip(failed);
    m_tray->setTip(failed.isEmpty() ? QStringLiteral("Datumswecker")
                                    : tr("Datumswecker: Abgleich fehlgeschlagen"));
}

void TMainForm::FormDestroy()
{
    if (m_syncSection)
        m_syncSection->detach();
    if (m_sync)
        m_sync->stop();
    m_tray->RemoveTrayIcon();
    m_core.Close();
}

void TMainForm::setVisible(bool visible)
{
    // The first showing checks for due reminders before the window appears.
    if (visible && !isVisible())
        FormShow();
    // Under Wayland the compositor places windows and ignores a program's own place.
    if (visible && !m_placed && dw::ProgramControlsWindows()) {
        m_placed = true;
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    QMainWindow::setVisible(visible);
}

void TMainForm::FormShow()
{
    if (m_firstShowDone)
        return;
    m_firstShowDone = true;
    CheckTermins();
    if (m_core.settings().StartMinimised)
        m_timer3->setEnabled(true);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program; FormDestroy saves.
    event->accept();
    m_core.setTerminating();
    QCoreApplication::quit();
}

void TMainForm::EndeBtnClick()
{
    close();
}

void TMainForm::gminChange()
{
    m_core.setCheckInterval(ui->gmin->value(), ui->gsek->value());
}

void TMainForm::MinimiertCheckClick()
{
    m_core.setStartMinimised(ui->MinimiertCheck->isChecked());
}

void TMainForm::ManTerminsBtnClick()
{
    CheckTermins();
}

void TMainForm::Timer1Timer()
{
    SaveTermins();
}

void TMainForm::Timer2Timer()
{
    CheckTermins();
}

void TMainForm::Timer3Timer()
{
    m_timer3->setEnabled(false);
    Anzeigen1Click();
}

void TMainForm::CheckTermins()
{
    m_core.CheckTermins();
}

bool TMainForm::SaveTermins()
{
    return m_core.SaveTermins();
}

void TMainForm::WMUser(quint32, int lParam)
{
    switch (lParam) {
    case dw::WM_LBUTTONDOWN:
        m_core.Timer1()->setEnabled(true);
        break;
    case dw::WM_LBUTTONDBLCLK:
        m_core.Timer1()->setEnabled(false);
        Anzeigen1Click();
        break;
    case dw::WM_RBUTTONUP: {
        // Under Wayland a menu opens only beside a window of the program, never at
        // the icon, so there the host shows the menu the item exports.
        if (!dw::ProgramControlsWindows())
            break;
        const QPoint at = QCursor::pos();
        PopupMenu2()->ShowWindowState(isVisible());
        PopupMenu2()->popup(at);
        break;
    }
    default:
        break;
    }
}

TTrayMenu* TMainForm::PopupMenu2() const
{
    return m_tray->menu();
}

void TMainForm::Anzeigen1Click()
{
    if (!isVisible()) {
        show();
        raise();
        activateWindow();
    } else if (isMinimized() && !m_tray->available()) {
        // Without a notification area the task bar holds the window, and this brings it back.
        ShowMainWindow();
    } else {
        PutAway();
    }
}

void TMainForm::PutAway()
{
    // A Wayland client cannot leave the minimised state by itself; hidden, a later
    // start from the desktop's launcher brings it back.
    if (m_tray->available() || !dw::ProgramControlsWindows())
        hide();
    else
        showMinimized();
}

void TMainForm::ShowMainWindow(const QString& activationToken)
{
    // The compositor may hold the window minimised without telling the program;
    // only a window mapped anew is sure to come back. An active one is in front already.
    if (!dw::ProgramControlsWindows() && isVisible() && !isActiveWindow())
        hide();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    dw::ActivateWindowWithToken(this, dw::UsableActivationToken(activationToken));
}

void TMainForm::TrayAvailabilityChanged(bool available)
{
    // The icon was the only way back to a hidden window; under Wayland a later start still is.
    if (!available && !isVisible() && m_firstShowDone && !m_core.Terminating() &&
        dw::ProgramControlsWindows())
        showMinimized();
}

void TMainForm::MinimizeBtnClick()
{
    Anzeigen1Click();
}

void TMainForm::Beenden2Click()
{
    m_core.End();
}

void TMainForm::EndFromSignal()
{
    m_core.End(true);
}

void TMainForm::wwwBtnClick()
{
    dw::ShellExecuteOpen(this, QString::fromLatin1(dw::HomePageAddress));
}

void TMainForm::ueberbtnClick()
{
    TAboutBox AboutBox(this);
    AboutBox.exec();
}
