#include "platform/Tray.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCoreApplication>
#include <QMap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstring>

namespace dw {

namespace {
using Key = QPair<QWidget*, quint32>;

QMap<Key, QSystemTrayIcon*>& Icons()
{
    static QMap<Key, QSystemTrayIcon*> icons;
    return icons;
}

// While a modal dialog is open Qt blocks the mouse on every other window of the
// program, the icon's included. The icon's messages must still reach its window
// then (the menu's "Beenden" has to end an open reminder), so on X11 the
// button presses on the icon's own window are read here and turned into the
// same messages.
class ModalTrayFilter : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t" || !QApplication::activeModalWidget())
            return false;
        quint32 button = 0;
        quint32 time = 0;
        quint32 window = 0;
        if (!ReadButtonPress(static_cast<const unsigned char*>(message), button, time, window))
            return false;
        for (auto it = Icons().cbegin(); it != Icons().cend(); ++it) {
            QWidget* iconWindow = TrayIconWindow();
            if (!iconWindow || iconWindow->winId() != window)
                continue;
            QWidget* target = it.key().first;
            const quint32 id = it.key().second;
            if (button == 1) {
                // As Qt reports them without a dialog: every press, and the second of a pair as a double
                // click.
                QCoreApplication::postEvent(target, new TrayMessageEvent(id, WM_LBUTTONDOWN));
                const bool second =
                    m_lastLeftPress &&
                    time - m_lastLeftPress < static_cast<quint32>(QApplication::doubleClickInterval());
                if (second)
                    QCoreApplication::postEvent(target, new TrayMessageEvent(id, WM_LBUTTONDBLCLK));
                m_lastLeftPress = second ? 0 : time;
            } else if (button == 3) {
                QCoreApplication::postEvent(target, new TrayMessageEvent(id, WM_RBUTTONUP));
            }
            return true;
        }
        return false;
    }

    // The window Qt made for the icon in the tray, a top-level of its own class.
    // The program has one icon, so the first such window is it.
    static QWidget* TrayIconWindow()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QSystemTrayIconSys") && w->testAttribute(Qt::WA_WState_Created))
                return w;
        return nullptr;
    }

private:
    // A button press as the X server sends it: the core event, or the XInput 2
    // event Qt asks for when the server has that extension.
    static bool ReadButtonPress(const unsigned char* event, quint32& button, quint32& time, quint32& window)
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

    quint32 m_lastLeftPress = 0;
};

void InstallModalTrayFilter()
{
    static ModalTrayFilter* filter = nullptr;
    if (!filter && QCoreApplication::instance()) {
        filter = new ModalTrayFilter;
        QCoreApplication::instance()->installNativeEventFilter(filter);
    }
}

int ToMouseMessage(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return WM_LBUTTONDOWN;
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context:
        return WM_RBUTTONUP;
    default:
        return 0;
    }
}
} // namespace

QEvent::Type TrayMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool AddTrayIcon(QWidget* window, quint32 id, const QIcon& icon, const QString& tip)
{
    const Key key(window, id);
    if (Icons().contains(key))
        return false;
    auto* trayIcon = new QSystemTrayIcon(icon);
    trayIcon->setToolTip(tip.left(63));
    QPointer<QWidget> target(window);
    QObject::connect(trayIcon, &QSystemTrayIcon::activated, trayIcon,
                     [target, id](QSystemTrayIcon::ActivationReason reason) {
                         const int message = ToMouseMessage(reason);
                         if (target && message)
                             QCoreApplication::postEvent(target, new TrayMessageEvent(id, message));
                     });
    trayIcon->show();
    Icons().insert(key, trayIcon);
    InstallModalTrayFilter();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool RemoveTrayIcon(QWidget* window, quint32 id)
{
    QSystemTrayIcon* trayIcon = Icons().take(Key(window, id));
    if (!trayIcon)
        return false;
    trayIcon->hide();
    delete trayIcon;
    return true;
}

bool HasTrayIcon(QWidget* window, quint32 id)
{
    return Icons().contains(Key(window, id));
}

} // namespace dw
