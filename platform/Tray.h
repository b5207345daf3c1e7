#pragma once

#include <QEvent>
#include <QIcon>
#include <QString>

class QWidget;

namespace dw {

// Mouse messages that arrive from the notification-area icon.
enum TrayMouseMessage : int {
    WM_LBUTTONDOWN = 513,
    WM_LBUTTONDBLCLK = 515,
    WM_RBUTTONUP = 517,
};

// The icon's callback message, posted to the window that added the icon.
class TrayMessageEvent : public QEvent
{
public:
    static QEvent::Type eventType();
    TrayMessageEvent(quint32 id, int mouseMessage) : QEvent(eventType()), wParam(id), lParam(mouseMessage) {}
    quint32 wParam; // the icon's identifier
    int lParam;     // the mouse message
};

// Adds an icon to the notification area for (window, id); its mouse messages
// arrive at the window as TrayMessageEvent. True if a tray host took it.
bool AddTrayIcon(QWidget* window, quint32 id, const QIcon& icon, const QString& tip);
// Removes the icon named by (window, id). True if there was one.
bool RemoveTrayIcon(QWidget* window, quint32 id);
// Whether an icon for (window, id) is in place (for tests).
bool HasTrayIcon(QWidget* window, quint32 id);

} // namespace dw
