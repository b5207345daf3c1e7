#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <optional>

class QDBusServiceWatcher;
class QTimer;

namespace dw {

// Mouse messages that arrive from the notification-area icon.
enum TrayMouseMessage : int
{
    WM_LBUTTONDOWN = 513,
    WM_LBUTTONDBLCLK = 515,
    WM_RBUTTONUP = 517,
};

// The two kinds of notification area Qt can put an icon into: the old X11 tray
// (XEmbed, with single and double clicks of its own) and a StatusNotifierItem
// host on the session bus (a click is one "Activate", the menu is exported).
enum class TrayHost
{
    XEmbed,
    StatusNotifier
};

// The kind Qt serves. Qt settles it once, at its first look at the session bus,
// so this asks Qt first and then looks at the same bus state. Under Wayland the old
// tray cannot work, so the kind is StatusNotifier and Qt is not asked here.
TrayHost DetectTrayHost();
// Whether Qt may be asked for the kind of tray now. Asked under Wayland before a
// StatusNotifierItem host is there, it would never show the icon in the whole run.
bool TrayKindSettledLater();

// The mouse messages one report of the host stands for. A host of the D-Bus kind
// knows no double click: its click is the whole double-click sequence.
QList<int> MouseMessagesFor(TrayHost host, QSystemTrayIcon::ActivationReason reason);

// Whether a notification area is there to take the icon. It can come and go while
// the program runs (a panel restarted, an extension switched on), so it is watched.
class TrayAvailability : public QObject
{
    Q_OBJECT
public:
    explicit TrayAvailability(TrayHost host, QObject* parent = nullptr);
    bool available() const { return m_available; }
    // Tests fix the answer; empty gives the real one back. Takes effect at the next look.
    static void setForTesting(std::optional<bool> available);

signals:
    void changed(bool available);

private slots:
    void recheck();

private:
    bool lookNow() const;

    TrayHost m_host;
    bool m_available = false;
    QTimer* m_poll = nullptr;
    QDBusServiceWatcher* m_watcher = nullptr;
};

// A button going down or up on a window, as the X server reports it.
struct XButtonEvent
{
    bool press = false;
    // The server sends each XInput 2 event twice: for the device that made it and
    // for the pointer that device moves. Only the pointer's copy is the click.
    bool pointerCopy = true;
    quint32 button = 0;
    quint32 time = 0;
    quint32 window = 0;
};

// Reads a core button event, or the XInput 2 one Qt asks for where the server has
// that extension; anything else gives nothing.
std::optional<XButtonEvent> ReadXButtonEvent(const void* event);

// While a modal dialog is open Qt blocks the mouse on every other window of the
// program, the old tray's icon included. Its messages must still arrive then (the
// menu's "Beenden" has to end an open reminder), so on X11 the button events on
// the icon's own window are read here and turned into the same messages.
class ModalTrayClicks : public QAbstractNativeEventFilter
{
public:
    explicit ModalTrayClicks(std::function<void(int mouseMessage)> report);
    ~ModalTrayClicks() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;
    // One button event on the icon's window.
    void take(const XButtonEvent& event);

private:
    std::function<void(int)> m_report;
    quint32 m_lastLeftPress = 0;
    bool m_rightDown = false;
};

} // namespace dw
