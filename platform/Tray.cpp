#include "platform/Tray.h"

#include <QCoreApplication>
#include <QMap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

namespace dw {

namespace {
using Key = QPair<QWidget*, quint32>;

QMap<Key, QSystemTrayIcon*>& Icons()
{
    static QMap<Key, QSystemTrayIcon*> icons;
    return icons;
}

int ToMouseMessage(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return WM_LBUTTONDOWN;
    case QSystemTrayIcon::DoubleClick: return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context: return WM_RBUTTONUP;
    default: return 0;
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
