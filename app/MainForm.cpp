#include "app/MainForm.h"

#include "app/AutostartBox.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "browser/CalendarPage.h"
#include "controls/AboutBox.h"
#include "controls/Pictures.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/Shell.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFile>

#include <cmath>
#include <limits>

namespace {
constexpr quint32 TrayIconId = 0;
} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>()), m_reminderCheck(Grid)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("MainForm"));
    setFont(dw::FormFont());
    resize(630, 485);

    Timer1 = new dw::WindowTimer(1000, false, this);
    Timer2 = new dw::WindowTimer(30000, true, this);
    Timer3 = new dw::WindowTimer(500, false, this);

    m_calendarPage = new TCalendarPage(Grid, ui->TabSheet1);
    ui->TabSheet1->layout()->addWidget(m_calendarPage);
    m_calendarPage->restartSaveTimer = [this] { Timer1->restart(); };
    m_calendarPage->saveNow = [this] { SaveTermins(DataFileName()); };

    m_tray = new TrayIcon(this);

    SetUpPictures();
    ConnectHandlers();
    new AutostartBox(ui->AutostartCheck, AutostartEntry::ForThisProgram(), this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::SetUpPictures()
{
    ui->gsek->setRange(0, 59);
    // Minutes are kept at 0 or above, so the check interval never turns negative.
    ui->gmin->setMinValue(0);
    ui->gmin->setValue(0);
    ui->gsek->setValue(30);

    auto* statusLeft = new QWidget(ui->StatusBar1);
    statusLeft->setFixedWidth(250);
    auto* statusRight = new QWidget(ui->StatusBar1);
    statusRight->setFixedWidth(50);
    ui->StatusBar1->addWidget(statusLeft);
    ui->StatusBar1->addWidget(statusRight);

    ui->PageControl2->setTabIcon(0, QIcon(Picture("tab_termine.bmp")));
    ui->PageControl2->setTabIcon(1, QIcon(Picture("tab_einstellungen.bmp")));
    ui->Image1->setPixmap(Picture("settings_column.bmp"));

    QFont optionsFont(QStringLiteral("Arial Black"));
    optionsFont.setPixelSize(19);
    optionsFont.setWeight(QFont::Black);
    ui->Label4->setFont(optionsFont);
    QPalette maroon = ui->Label4->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    ui->Label4->setPalette(maroon);

    ui->wwwBtn->setIcon(QIcon(Picture("www.bmp")));
    ui->wwwBtn->setText(QString::fromLatin1(dw::HomePageHost));
    ui->ueberbtn->setPicture(Picture("ueber.gif"));
    ui->ueberbtn->setPicture2(Picture("ueber_down.gif"));
    ui->endebtn->setPicture(Picture("ende.gif"));
    ui->endebtn->setPicture2(Picture("ende_down.gif"));
    setWindowIcon(QIcon(Picture("appicon.bmp")));
    ui->MinimizeBtn->loadGlyphResource(QStringLiteral("btn_minimize.bmp"));
    // Not shown yet, so the form's own caption stays.
    ui->ManTerminsBtn->setKind(TBitBtnXP::bkAll);
}

void TMainForm::ConnectHandlers()
{
    connect(Timer1, &dw::WindowTimer::timeout, this, &TMainForm::Timer1Timer);
    connect(Timer2, &dw::WindowTimer::timeout, this, &TMainForm::Timer2Timer);
    connect(Timer3, &dw::WindowTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(ui->gmin, &SpinEdit::changed, this, &TMainForm::gminChange);
    connect(ui->gsek, &SpinEdit::changed, this, &TMainForm::gminChange);
    connect(ui->MinimiertCheck, &QCheckBox::toggled, this, &TMainForm::MinimiertCheckClick);
    connect(ui->ManTerminsBtn, &QPushButton::clicked, this, &TMainForm::ManTerminsBtnClick);
    connect(ui->MinimizeBtn, &QPushButton::clicked, this, &TMainForm::MinimizeBtnClick);
    connect(ui->wwwBtn, &QToolButton::clicked, this, &TMainForm::wwwBtnClick);
    connect(ui->ueberbtn, &TImageBtn::clicked, this, &TMainForm::ueberbtnClick);
    connect(ui->endebtn, &TImageBtn::clicked, this, &TMainForm::EndeBtnClick);
    connect(PopupMenu2()->Anzeigen1, &QAction::triggered, this, &TMainForm::Anzeigen1Click);
    connect(PopupMenu2()->ZurNorvexHomepage1, &QAction::triggered, this, &TMainForm::wwwBtnClick);
    connect(PopupMenu2()->berdasProgramm1, &QAction::triggered, this, &TMainForm::ueberbtnClick);
    connect(PopupMenu2()->Beenden2, &QAction::triggered, this, &TMainForm::Beenden2Click);
    // Queued, as the icon's messages always arrived: after the host's own event has been handled.
    connect(m_tray, &TrayIcon::mouseMessage, this, &TMainForm::WMUser, Qt::QueuedConnection);
    connect(m_tray, &TrayIcon::availabilityChanged, this, &TMainForm::TrayAvailabilityChanged);
}

void TMainForm::FormCreate()
{
    DataFolder = dw::ResolveDataFolder();
    Grid.Build();
    m_dataFile = std::make_unique<DataFile>(DataFileName());
    if (QFile::exists(DataFileName()))
        OpenTermins(DataFileName());
    // A damaged file has been kept aside by the load; the window stays fully usable.
    m_calendarPage->ShowAll();
    m_calendarPage->SetInitialPosition(dw::Now());
    m_tray->AddTrayIcon(TrayIconId, windowIcon(), QStringLiteral("Datumswecker"));
}

void TMainForm::FormDestroy()
{
    m_tray->RemoveTrayIcon();
    Timer1->setEnabled(false);
    SaveTermins(DataFileName());
    Grid.delall();
}

void TMainForm::setReminderDialog(IReminderDialog* dialog)
{
    m_reminderDialog = dialog;
    m_reminderCheck.setDialog(dialog);
}

void TMainForm::setVisible(bool visible)
{
    // The first showing checks for due reminders before the window appears.
    if (visible && !isVisible())
        FormShow();
    QMainWindow::setVisible(visible);
}

void TMainForm::FormShow()
{
    if (FirstShowDone)
        return;
    FirstShowDone = true;
    CheckTermins();
    if (ui->MinimiertCheck->isChecked())
        Timer3->setEnabled(true);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program; FormDestroy saves.
    event->accept();
    Terminating = true;
    QCoreApplication::quit();
}

void TMainForm::EndeBtnClick()
{
    close();
}

StoredSettings TMainForm::CurrentSettings() const
{
    return {ui->gmin->value(), ui->gsek->value(), ui->MinimiertCheck->isChecked()};
}

void TMainForm::gminChange()
{
    const double ms = (static_cast<double>(ui->gmin->value()) * 60 + ui->gsek->value()) * 1000;
    const double whole = std::trunc(ms);
    // An interval beyond what a timer can count is held at the longest one; below zero none.
    const int interval = whole <= 0                                 ? 0
                         : whole >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                                    : static_cast<int>(whole);
    Timer2->setInterval(interval);
    Timer1->restart();
}

void TMainForm::MinimiertCheckClick()
{
    Timer1->restart();
}

void TMainForm::ManTerminsBtnClick()
{
    CheckTermins();
}

void TMainForm::Timer1Timer()
{
    SaveTermins(DataFileName());
}

void TMainForm::Timer2Timer()
{
    CheckTermins();
}

void TMainForm::Timer3Timer()
{
    Timer3->setEnabled(false);
    Anzeigen1Click();
}

void TMainForm::CheckTermins()
{
    if (Terminating)
        return;
    m_reminderCheck.CheckTermins();
}

bool TMainForm::SaveTermins(const QString& fileName)
{
    if (m_dataFile && fileName == m_dataFile->path())
        return m_dataFile->SaveTermins(Grid, CurrentSettings());
    return DataFile(fileName).SaveTermins(Grid, CurrentSettings());
}

void TMainForm::OpenTermins(const QString& fileName)
{
    const DataFile::LoadResult loaded = (m_dataFile && fileName == m_dataFile->path())
                                            ? m_dataFile->OpenTermins(Grid)
                                            : DataFile(fileName).OpenTermins(Grid);
    if (!loaded.settingsRead)
        return;
    // Through the controls, so their handlers run as for a user's change.
    ui->gmin->setValue(loaded.settings.CheckMinutes);
    ui->gsek->setValue(loaded.settings.CheckSeconds);
    ui->MinimiertCheck->setChecked(loaded.settings.StartMinimised);
}

void TMainForm::WMUser(quint32, int lParam)
{
    switch (lParam) {
    case dw::WM_LBUTTONDOWN:
        Timer1->setEnabled(true);
        break;
    case dw::WM_LBUTTONDBLCLK:
        Timer1->setEnabled(false);
        Anzeigen1Click();
        break;
    case dw::WM_RBUTTONUP: {
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
    } else if (m_tray->available()) {
        hide();
    } else if (isMinimized()) {
        // Without a notification area the task bar holds the window, and this brings it back.
        ShowMainWindow();
    } else {
        showMinimized();
    }
}

void TMainForm::ShowMainWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMainForm::TrayAvailabilityChanged(bool available)
{
    // The icon was the only way back to a hidden window.
    if (!available && !isVisible() && FirstShowDone && !Terminating)
        showMinimized();
}

void TMainForm::MinimizeBtnClick()
{
    Anzeigen1Click();
}

void TMainForm::Beenden2Click()
{
    if (Terminating)
        return;
    Terminating = true;
    // An open reminder ends as "Alle abbrechen"; then every event loop ends and FormDestroy saves.
    if (m_reminderDialog)
        m_reminderDialog->CancelReminder();
    QCoreApplication::quit();
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
