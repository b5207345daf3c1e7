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

// A button press as the X server sends it: the core event, or the XInput 2 event
// Qt asks for when the server has that extension.
bool ReadButtonPress(const unsigned char* event, quint32& button, quint32& time, quint32& window)
{
    constexpr unsigned char CoreButtonPress = 4;
    constexpr unsigned char GenericEvent = 35;
    constexpr quint16 XIButtonPress = 4;
    const unsigned char type = event[0] & 0x7F;
    if (type == CoreButtonPress) {
        button = event[1];
        std::memcpy(&time, event + 4, sizeof time);
        std::memcpy(&window, event + 12, sizeof window);
        return true;
    }
    quint16 genericType = 0;
    std::memcpy(&genericType, event + 8, sizeof genericType);
    if (type != GenericEvent || genericType != XIButtonPress)
        return false;
    std::memcpy(&time, event + 12, sizeof time);
    std::memcpy(&button, event + 16, sizeof button);
    std::memcpy(&window, event + 24, sizeof window);
    return true;
}

} // namespace

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
    quint32 button = 0;
    quint32 time = 0;
    quint32 window = 0;
    if (!ReadButtonPress(static_cast<const unsigned char*>(message), button, time, window))
        return false;
    QWidget* iconWindow = XEmbedIconWindow();
    if (!iconWindow || iconWindow->winId() != window)
        return false;
    if (button == 1) {
        // As Qt reports them without a dialog: every press, and the second of a pair as a double click.
        m_report(WM_LBUTTONDOWN);
        const bool second = m_lastLeftPress && time - m_lastLeftPress <
                                                   static_cast<quint32>(QApplication::doubleClickInterval());
        if (second)
            m_report(WM_LBUTTONDBLCLK);
        m_lastLeftPress = second ? 0 : time;
    } else if (button == 3) {
        m_report(WM_RBUTTONUP);
    }
    return true;
}

} // namespace dw
