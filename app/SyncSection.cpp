#include "app/SyncSection.h"

#include "controls/SpinEdit.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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
    page->setGeometry(0, top, 410, 142);
    top = 0;
    QLabel* heading =
        Label(page, QStringLiteral("Abgleich mit einem Kalender-Server (CalDAV)"), QRect(8, top, 400, 16));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    m_address = Field(page, QRect(80, top + 20, 320, 21), QStringLiteral("Adresse des Kalender-Servers"));
    m_address->setPlaceholderText(QStringLiteral("https://server/kalender/"));
    Label(page, QStringLiteral("&Adresse:"), QRect(8, top + 20, 70, 21), m_address);
    m_user = Field(page, QRect(80, top + 44, 120, 21), QStringLiteral("Benutzername"));
    Label(page, QStringLiteral("&Benutzer:"), QRect(8, top + 44, 70, 21), m_user);
    m_password = Field(page, QRect(272, top + 44, 128, 21), QStringLiteral("Passwort"));
    m_password->setEchoMode(QLineEdit::Password);
    Label(page, QStringLiteral("&Passwort:"), QRect(210, top + 44, 60, 21), m_password);
    m_minutes = new SpinEdit(page);
    m_minutes->setGeometry(80, top + 68, 57, 21);
    m_minutes->setRange(1, 1440);
    m_minutes->setAccessibleName(QStringLiteral("Abgleichen alle: Minuten"));
    Label(page, QStringLiteral("A&lle:"), QRect(8, top + 68, 70, 21), m_minutes);
    Label(page, QStringLiteral("Minuten"), QRect(142, top + 68, 60, 21), m_minutes);
    m_now = new QPushButton(QStringLiteral("&Jetzt abgleichen"), page);
    m_now->setGeometry(272, top + 67, 128, 23);
    m_now->setAccessibleName(QStringLiteral("Jetzt abgleichen"));
    m_status = new QLabel(page);
    m_status->setGeometry(8, top + 94, 400, 48);
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setAccessibleName(QStringLiteral("Letzter Abgleich"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_status->setFocusPolicy(Qt::TabFocus);

    const dw::sync::AccountSettings account = controller.account();
    m_address->setText(account.url);
    m_user->setText(account.user);
    m_minutes->setValue(account.minutes);
    m_status->setText(controller.lastText());

    for (QLineEdit* field : {m_address, m_user})
        connect(field, &QLineEdit::editingFinished, this, &SyncSection::takeAccount);
    connect(m_minutes, &SpinEdit::changed, this, &SyncSection::takeAccount);
    connect(m_password, &QLineEdit::editingFinished, this, [this] {
        if (!m_password->text().isEmpty())
            m_controller.setPassword(m_password->text());
    });
    connect(m_now, &QPushButton::clicked, this, &SyncSection::syncNow);
    connect(&controller, &dw::sync::SyncController::runningChanged, this, &SyncSection::showState);
    connect(&controller, &dw::sync::SyncController::finished, this, &SyncSection::finished);
    connect(&controller, &dw::sync::SyncController::passwordNeeded, this, &SyncSection::askPassword);
    page->show();
}

QList<QWidget*> SyncSection::tabOrder() const
{
    return {m_address, m_user, m_password, m_minutes, m_now, m_status};
}

void SyncSection::detach()
{
    for (QObject* field : std::initializer_list<QObject*>{m_address, m_user, m_password, m_minutes, m_now})
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
            m_status->setText(bad);
            return;
        }
    }
    m_controller.setAccount(account);
}

void SyncSection::syncNow()
{
    takeAccount();
    if (!m_controller.account().set()) {
        m_status->setText(QStringLiteral("Bitte zuerst Adresse und Benutzer des Kalender-Servers angeben."));
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
        m_status->setText(QStringLiteral("Wird abgeglichen …"));
}

void SyncSection::finished(const dw::sync::SyncReport& report)
{
    m_status->setText(m_controller.lastText());
    if (report.conflicts > 0) {
        // Told once, without stopping anything: both versions are in the calendar already.
        auto* box = new QMessageBox(
            QMessageBox::Information, QStringLiteral("Datumswecker"),
            QStringLiteral(
                "%1 Termin(e) wurden hier und auf dem Server geändert. Beide Fassungen sind erhalten: "
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
    m_status->setText(reason);
    auto* dialog = new QInputDialog(m_page->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Kalender-Abgleich"));
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
