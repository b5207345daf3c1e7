#include "platform/Tray.h"

#include "platform/WindowSystem.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace dw {

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

std::optional<bool>& AvailabilityForTesting()
{
    static std::optional<bool> value;
    return value;
}

bool WatcherRegistered()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(WatcherService).value();
}

// Qt's own test for serving the D-Bus kind: a watcher that knows of a host.
bool StatusNotifierHostRegistered()
{
    if (!WatcherRegistered())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        WatcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

// The window Qt made for the icon in the old tray, a top-level of its own class.
// The program has one icon, so the first such window is it.
QWidget* XEmbedIconWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QSystemTrayIconSys") && w->testAttribute(Qt::WA_WState_Created))
            return w;
    return nullptr;
}

} // namespace

std::optional<XButtonEvent> ReadXButtonEvent(const void* message)
{
    constexpr unsigned char CoreButtonPress = 4;
    constexpr unsigned char CoreButtonRelease = 5;
    constexpr unsigned char GenericEvent = 35;
    constexpr quint16 XIButtonPress = 4;
    constexpr quint16 XIButtonRelease = 5;
    const auto* event = static_cast<const unsigned char*>(message);
    XButtonEvent read;
    const unsigned char type = event[0] & 0x7F;
    if (type == CoreButtonPress || type == CoreButtonRelease) {
        read.press = type == CoreButtonPress;
        read.button = event[1];
        std::memcpy(&read.time, event + 4, sizeof read.time);
        std::memcpy(&read.window, event + 12, sizeof read.window);
        return read;
    }
    quint16 genericType = 0;
    std::memcpy(&genericType, event + 8, sizeof genericType);
    if (type != GenericEvent || (genericType != XIButtonPress && genericType != XIButtonRelease))
        return std::nullopt;
    read.press = genericType == XIButtonPress;
    quint16 device = 0;
    quint16 source = 0;
    std::memcpy(&device, event + 10, sizeof device);
    std::memcpy(&source, event + 56, sizeof source);
    // The device's own copy names itself as the source; the pointer's names the device.
    read.pointerCopy = device != source;
    std::memcpy(&read.time, event + 12, sizeof read.time);
    std::memcpy(&read.button, event + 16, sizeof read.button);
    std::memcpy(&read.window, event + 24, sizeof read.window);
    return read;
}

bool TrayKindSettledLater()
{
    return !ProgramControlsWindows();
}

TrayHost DetectTrayHost()
{
    if (TrayKindSettledLater())
        return TrayHost::StatusNotifier;
    QSystemTrayIcon::isSystemTrayAvailable(); // makes Qt settle its choice now
    return StatusNotifierHostRegistered() ? TrayHost::StatusNotifier : TrayHost::XEmbed;
}

QList<int> MouseMessagesFor(TrayHost host, QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (host == TrayHost::StatusNotifier)
            return {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK};
        return {WM_LBUTTONDOWN};
    case QSystemTrayIcon::DoubleClick:
        return {WM_LBUTTONDBLCLK};
    case QSystemTrayIcon::Context:
        return {WM_RBUTTONUP};
    default:
        return {};
    }
}

TrayAvailability::TrayAvailability(TrayHost host, QObject* parent) : QObject(parent), m_host(host)
{
    if (m_host == TrayHost::StatusNotifier) {
        m_watcher = new QDBusServiceWatcher(WatcherService, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayAvailability::recheck);
        // A watcher shows nothing before a host has registered with it. QtDBus takes slots by name only.
        for (const char* change : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            QDBusConnection::sessionBus().connect(WatcherService, QStringLiteral("/StatusNotifierWatcher"),
                                                  WatcherService, QString::fromLatin1(change), this,
                                                  SLOT(recheck()));
    } else {
        // The old tray announces itself only to Qt's own icon, so it is looked for.
        m_poll = new QTimer(this);
        m_poll->setInterval(1000);
        connect(m_poll, &QTimer::timeout, this, &TrayAvailability::recheck);
        m_poll->start();
    }
    m_available = lookNow();
}

void TrayAvailability::setForTesting(std::optional<bool> available)
{
    AvailabilityForTesting() = available;
}

bool TrayAvailability::lookNow() const
{
    if (AvailabilityForTesting())
        return *AvailabilityForTesting();
    return m_host == TrayHost::StatusNotifier ? StatusNotifierHostRegistered()
                                              : QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayAvailability::recheck()
{
    const bool now = lookNow();
    if (now == m_available)
        return;
    m_available = now;
    emit changed(now);
}

ModalTrayClicks::ModalTrayClicks(std::function<void(int)> report) : m_report(std::move(report))
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

ModalTrayClicks::~ModalTrayClicks()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool ModalTrayClicks::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !QApplication::activeModalWidget())
        return false;
    const std::optional<XButtonEvent> event = ReadXButtonEvent(message);
    QWidget* iconWindow = XEmbedIconWindow();
    if (!event || !iconWindow || iconWindow->winId() != event->window)
        return false;
    take(*event);
    return true;
}

void ModalTrayClicks::take(const XButtonEvent& event)
{
    if (!event.pointerCopy)
        return;
    if (event.button == 1 && event.press) {
        // As Qt reports them without a dialog: every press, and the second of a pair as a double click.
        m_report(WM_LBUTTONDOWN);
        const bool second = m_lastLeftPress && event.time - m_lastLeftPress <
                                                   static_cast<quint32>(QApplication::doubleClickInterval());
        if (second)
            m_report(WM_LBUTTONDBLCLK);
        m_lastLeftPress = second ? 0 : event.time;
    } else if (event.button == 3) {
        // The menu opens once the button is up, as desktop trays open it: opened on the press,
        // it takes the pointer while the button is still down, and a copy of that press the
        // server had not sent yet lands on the item under the pointer and chooses it.
        if (!event.press && m_rightDown)
            m_report(WM_RBUTTONUP);
        m_rightDown = event.press;
    }
}

} // namespace dw
