#include "app/TrayIcon.h"

#include "app/TrayMenu.h"

#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TrayIcon::TrayIcon(QWidget* window)
    : QObject(window), m_window(window), m_menu(new TTrayMenu(window)), m_host(dw::DetectTrayHost()),
      m_availability(new dw::TrayAvailability(m_host, this)), m_available(m_availability->available())
{
    connect(m_availability, &dw::TrayAvailability::changed, this, &TrayIcon::setAvailable);
    window->installEventFilter(this);
    showWindowState();
}

TrayIcon::~TrayIcon()
{
    RemoveTrayIcon();
}

bool TrayIcon::AddTrayIcon(quint32 id, const QIcon& icon, const QString& tip)
{
    if (m_icon || m_pending)
        return false;
    m_id = id;
    m_pending.emplace(icon, tip.left(63));
    if (m_available || !dw::TrayKindSettledLater())
        createIcon();
    return available();
}

void TrayIcon::setTip(const QString& tip)
{
    if (m_icon)
        m_icon->setToolTip(tip.left(63));
    else if (m_pending)
        m_pending->second = tip.left(63);
}

QString TrayIcon::tip() const
{
    return m_icon ? m_icon->toolTip() : m_pending ? m_pending->second : QString();
}

void TrayIcon::createIcon()
{
    m_icon = new QSystemTrayIcon(m_pending->first, this);
    m_icon->setToolTip(m_pending->second);
    m_pending.reset();
    // Hosts on the session bus open the menu the item exports; the old tray only
    // reports the click and the program opens the menu itself.
    if (m_host == dw::TrayHost::StatusNotifier) {
        m_exportedMenu = std::make_unique<QMenu>();
        m_exportedMenu->addActions(m_menu->actions());
        connect(m_exportedMenu.get(), &QMenu::aboutToShow, this, &TrayIcon::showWindowState);
        m_icon->setContextMenu(m_exportedMenu.get());
    }
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::hostActivated);
    m_icon->show();
    m_modalClicks = std::make_unique<dw::ModalTrayClicks>([this](int message) { report(message); });
}

bool TrayIcon::RemoveTrayIcon()
{
    m_pending.reset();
    if (!m_icon)
        return false;
    m_modalClicks.reset();
    m_icon->hide();
    delete m_icon;
    m_icon = nullptr;
    m_exportedMenu.reset();
    return true;
}

bool TrayIcon::available() const
{
    return m_available;
}

void TrayIcon::hostActivated(QSystemTrayIcon::ActivationReason reason)
{
    for (int message : dw::MouseMessagesFor(m_host, reason))
        report(message);
}

void TrayIcon::setAvailable(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    if (available && m_pending)
        createIcon();
    emit availabilityChanged(available);
}

void TrayIcon::report(int message)
{
    emit mouseMessage(m_id, message);
}

void TrayIcon::showWindowState()
{
    if (m_window)
        m_menu->ShowWindowState(m_window->isVisible());
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        showWindowState();
    return QObject::eventFilter(watched, event);
}
