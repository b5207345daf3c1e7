#include "app/SyncSection.h"

#include "controls/SpinEdit.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QLabel* Label(QWidget* page, const QString& text, const QRect& at, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(text, page);
    label->setGeometry(at);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QLineEdit* Field(QWidget* page, const QRect& at, const QString& accessibleName)
{
    auto* field = new QLineEdit(page);
    field->setGeometry(at);
    field->setAccessibleName(accessibleName);
    return field;
}

} // namespace

SyncSection::SyncSection(QWidget* settingsArea, int top, dw::sync::SyncController& controller)
    : QObject(settingsArea), m_controller(controller), m_page(settingsArea)
{
    // One box of its own, so that made on a page already shown, it shows with all its controls.
    auto* page = new QWidget(settingsArea);
    page->setGeometry(0, top, 410, 200);
    top = 0;
    QLabel* heading = Label(page, tr("Abgleich mit einem Kalender-Server (CalDAV)"), QRect(8, top, 400, 16));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    m_address = Field(page, QRect(80, top + 20, 320, 21), tr("Adresse des Kalender-Servers"));
    m_address->setPlaceholderText(tr("https://server/kalender/"));
    Label(page, tr("&Adresse:"), QRect(8, top + 20, 70, 21), m_address);
    m_user = Field(page, QRect(80, top + 44, 120, 21), tr("Benutzername"));
    Label(page, tr("&Benutzer:"), QRect(8, top + 44, 70, 21), m_user);
    m_password = Field(page, QRect(272, top + 44, 128, 21), tr("Passwort"));
    m_password->setEchoMode(QLineEdit::Password);
    Label(page, tr("&Passwort:"), QRect(210, top + 44, 60, 21), m_password);
    m_minutes = new SpinEdit(page);
    m_minutes->setGeometry(80, top + 68, 57, 21);
    m_minutes->setRange(1, 1440);
    m_minutes->setAccessibleName(tr("Abgleichen alle: Minuten"));
    Label(page, tr("Inter&vall:"), QRect(8, top + 68, 70, 21), m_minutes);
    Label(page, tr("Minuten"), QRect(142, top + 68, 60, 21), m_minutes);
    m_now = new QPushButton(tr("&Jetzt abgleichen"), page);
    m_now->setGeometry(272, top + 67, 128, 23);
    m_now->setAccessibleName(tr("Jetzt abgleichen"));
    m_calendars = new QComboBox(page);
    m_calendars->setGeometry(80, top + 94, 188, 21);
    m_calendars->setAccessibleName(tr("Kalender"));
    Label(page, tr("Ka&lender:"), QRect(8, top + 94, 70, 21), m_calendars);
    m_trust = new QPushButton(tr("Zerti&fikat vertrauen"), page);
    m_trust->setGeometry(272, top + 93, 128, 23);
    m_trust->setAccessibleName(tr("Zertifikat vertrauen"));
    m_trust->hide();
    // Text that scrolls where it is long (a list of calendars, a fingerprint), never cut off.
    m_status = new QPlainTextEdit(page);
    m_status->setGeometry(8, top + 120, 400, 80);
    m_status->setReadOnly(true);
    m_status->setFrameShape(QFrame::NoFrame);
    m_status->viewport()->setAutoFillBackground(false);
    m_status->setAccessibleName(tr("Letzter Abgleich"));
    m_status->setFocusPolicy(Qt::TabFocus);

    const dw::sync::AccountSettings account = controller.account();
    m_address->setText(account.url);
    m_user->setText(account.user);
    m_minutes->setValue(account.minutes);
    m_status->setPlainText(controller.lastText());
    fillCalendars();

    for (QLineEdit* field : {m_address, m_user})
        connect(field, &QLineEdit::editingFinished, this, &SyncSection::takeAccount);
    connect(m_minutes, &SpinEdit::changed, this, &SyncSection::takeAccount);
    connect(m_password, &QLineEdit::editingFinished, this, [this] {
        if (!m_password->text().isEmpty())
            m_controller.setPassword(m_password->text());
    });
    connect(m_now, &QPushButton::clicked, this, &SyncSection::syncNow);
    connect(m_calendars, &QComboBox::activated, this, &SyncSection::chooseCalendar);
    connect(m_trust, &QPushButton::clicked, this, [this] {
        m_trust->hide();
        if (!m_fingerprint.isEmpty())
            m_controller.trustCertificate(m_fingerprint);
    });
    connect(&controller, &dw::sync::SyncController::runningChanged, this, &SyncSection::showState);
    connect(&controller, &dw::sync::SyncController::finished, this, &SyncSection::finished);
    connect(&controller, &dw::sync::SyncController::passwordNeeded, this, &SyncSection::askPassword);
    page->show();
}

QList<QWidget*> SyncSection::tabOrder() const
{
    return {m_address, m_user, m_password, m_minutes, m_now, m_calendars, m_trust, m_status};
}

void SyncSection::detach()
{
    for (QObject* field : std::initializer_list<QObject*>{m_address, m_user, m_password, m_minutes, m_now,
                                                          m_calendars, m_trust})
        disconnect(field, nullptr, this, nullptr);
    disconnect(&m_controller, nullptr, this, nullptr);
}

void SyncSection::takeAccount()
{
    dw::sync::AccountSettings account;
    account.url = m_address->text().trimmed();
    account.user = m_user->text().trimmed();
    account.minutes = m_minutes->value();
    const dw::sync::AccountSettings before = m_controller.account();
    if (account.url == before.url && account.user == before.user && account.minutes == before.minutes)
        return;
    if (!account.url.isEmpty()) {
        if (const QString bad = dw::sync::CheckAddress(account.url); !bad.isEmpty()) {
            m_status->setPlainText(bad);
            return;
        }
    }
    m_controller.setAccount(account);
}

void SyncSection::syncNow()
{
    takeAccount();
    if (!m_controller.account().set()) {
        m_status->setPlainText(tr("Bitte zuerst Adresse und Benutzer des Kalender-Servers angeben."));
        return;
    }
    if (!m_password->text().isEmpty())
        m_controller.setPassword(m_password->text());
    m_controller.syncNow();
}

void SyncSection::showState(bool running)
{
    m_now->setEnabled(!running);
    if (running)
        m_status->setPlainText(tr("Wird abgeglichen …"));
}

void SyncSection::fillCalendars()
{
    const QList<std::pair<QString, QString>> calendars = m_controller.calendars();
    const QSignalBlocker quiet(m_calendars);
    m_calendars->clear();
    const QString chosen = m_controller.account().url;
    for (const auto& [url, name] : calendars)
        m_calendars->addItem(name.isEmpty() ? url : QStringLiteral("%1 (%2)").arg(name, url), url);
    m_calendars->setCurrentIndex(m_calendars->findData(chosen));
    if (m_calendars->currentIndex() < 0)
        m_calendars->setPlaceholderText(calendars.isEmpty() ? tr("der Kalender unter der Adresse")
                                                            : tr("bitte wählen"));
    m_calendars->setEnabled(!calendars.isEmpty());
}

void SyncSection::chooseCalendar(int index)
{
    dw::sync::AccountSettings account = m_controller.account();
    account.url = m_calendars->itemData(index).toString();
    if (account.url.isEmpty() || account.url == m_controller.account().url)
        return;
    // The calendar's own address becomes the account's: the next sync finds it directly.
    m_address->setText(account.url);
    m_controller.setAccount(account);
    m_controller.syncNow();
}

void SyncSection::finished(const dw::sync::SyncReport& report)
{
    m_status->setPlainText(m_controller.lastText());
    fillCalendars();
    m_fingerprint = report.fingerprint;
    m_trust->setVisible(!m_fingerprint.isEmpty());
    if (report.conflicts > 0) {
        // Told once, without stopping anything: both versions are in the calendar already.
        auto* box = new QMessageBox(
            QMessageBox::Information, QStringLiteral("Datumswecker"),
            tr("%1 Termin(e) wurden hier und auf dem Server geändert. Beide Fassungen sind erhalten: "
               "die des Servers an ihrem Platz, Ihre als zweiter Termin mit „(Konflikt)“ am Ende "
               "des Namens.")
                .arg(report.conflicts),
            QMessageBox::Ok, m_page->window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    }
}

void SyncSection::askPassword(const QString& reason)
{
    m_status->setPlainText(reason);
    auto* dialog = new QInputDialog(m_page->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Kalender-Abgleich"));
    dialog->setLabelText(reason);
    dialog->setTextEchoMode(QLineEdit::Password);
    connect(dialog, &QInputDialog::textValueSelected, this, [this](const QString& password) {
        if (password.isEmpty())
            return;
        m_controller.setPassword(password);
        m_controller.syncNow();
    });
    dialog->open();
}
