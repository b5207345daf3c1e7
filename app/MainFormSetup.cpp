#include "app/MainForm.h"

#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "browser/CalendarPage.h"
#include "controls/Pictures.h"
#include "controls/TabOrder.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "ui_CalendarPage.h"
#include "ui_MainForm.h"

#include <QSignalBlocker>

// How the main window is put together: the look of its own controls, and
// which handler each control and each part of the core calls.

void SetUpMainWindowLook(TMainForm& window, Ui::TMainForm& ui)
{
    ui.gsek->setRange(0, 59);
    // Minutes are kept at 0 or above, so the check interval never turns negative.
    ui.gmin->setMinValue(0);
    ui.gmin->setValue(0);
    ui.gsek->setValue(30);

    auto* statusLeft = new QWidget(ui.StatusBar1);
    statusLeft->setFixedWidth(250);
    auto* statusRight = new QWidget(ui.StatusBar1);
    statusRight->setFixedWidth(50);
    ui.StatusBar1->addWidget(statusLeft);
    ui.StatusBar1->addWidget(statusRight);

    ui.PageControl2->setTabIcon(0, PictureIcon("tab_termine.bmp"));
    ui.PageControl2->setTabIcon(1, PictureIcon("tab_einstellungen.bmp"));
    ui.Image1->setPixmap(Picture("settings_column.bmp"));

    QFont optionsFont(QStringLiteral("Arial Black"));
    optionsFont.setPixelSize(19);
    optionsFont.setWeight(QFont::Black);
    ui.Label4->setFont(optionsFont);
    QPalette maroon = ui.Label4->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    ui.Label4->setPalette(maroon);

    ui.wwwBtn->setIcon(PictureIcon("www.bmp"));
    ui.wwwBtn->setText(QLatin1Char('&') + QString::fromLatin1(dw::HomePageHost));
    ui.ueberbtn->setPicture(Picture("ueber.gif"));
    ui.ueberbtn->setPicture2(Picture("ueber_down.gif"));
    ui.endebtn->setPicture(Picture("ende.gif"));
    ui.endebtn->setPicture2(Picture("ende_down.gif"));
    window.setWindowIcon(PictureIcon("appicon.bmp"));
    ui.MinimizeBtn->loadGlyphResource(QStringLiteral("btn_minimize.bmp"));
    // Not shown yet, so the form's own caption stays.
    ui.ManTerminsBtn->setKind(TBitBtnXP::bkAll);
}

void SetUpTabOrder(Ui::TMainForm& ui, Ui::TCalendarPage& calendar)
{
    ChainTabOrder({ui.PageControl2,
                   calendar.AddTerminBtn,
                   calendar.DelTerminBtn,
                   calendar.UpBtn,
                   calendar.TreeView1,
                   calendar.ListView1,
                   calendar.PageControl1,
                   calendar.NameEd,
                   calendar.hour,
                   calendar.min,
                   calendar.DescEd,
                   calendar.day1,
                   calendar.hour1,
                   calendar.min1,
                   calendar.day2,
                   calendar.hour2,
                   calendar.min2,
                   calendar.doneCheck,
                   calendar.ClearLastBtn,
                   ui.gmin,
                   ui.gsek,
                   ui.ManTerminsBtn,
                   ui.MinimiertCheck,
                   ui.AutostartCheck,
                   ui.MitteilungCheck,
                   ui.wwwBtn,
                   ui.MinimizeBtn,
                   ui.ueberbtn,
                   ui.endebtn});
}

void TMainForm::ConnectHandlers()
{
    connect(m_timer3, &dw::WindowTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(ui->gmin, &SpinEdit::changed, this, &TMainForm::gminChange);
    connect(ui->gsek, &SpinEdit::changed, this, &TMainForm::gminChange);
    connect(ui->MinimiertCheck, &QCheckBox::toggled, this, &TMainForm::MinimiertCheckClick);
    connect(ui->MitteilungCheck, &QCheckBox::toggled, &m_core, &AppCore::setNotificationsOn);
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
    connect(&m_core, &AppCore::settingsLoaded, this, &TMainForm::ShowSettings);
    connect(&m_core, &AppCore::appointmentsAdded, m_calendarPage, &TCalendarPage::RefreshList);
}

void TMainForm::ShowSettings(const StoredSettings& settings)
{
    // The core has applied them already; the controls only show them.
    const QSignalBlocker minutes(ui->gmin);
    const QSignalBlocker seconds(ui->gsek);
    const QSignalBlocker minimised(ui->MinimiertCheck);
    ui->gmin->setValue(settings.CheckMinutes);
    ui->gsek->setValue(settings.CheckSeconds);
    ui->MinimiertCheck->setChecked(settings.StartMinimised);
}
