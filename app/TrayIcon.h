#pragma once

#include "platform/Tray.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <utility>

class QMenu;
class QSystemTrayIcon;
class QWidget;
class TTrayMenu;

// The program's icon in the notification area, as one unit: it owns the icon and
// its menu, serves whichever kind of host the desktop has, and says what happened
// as the mouse messages the main window's WMUser knows. It looks at the window
// only to keep the menu's first item true for hosts that show the menu themselves.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QWidget* window);
    ~TrayIcon() override;

    // Puts the icon into the notification area, now or as soon as one appears.
    // True if one is there to take it.
    bool AddTrayIcon(quint32 id, const QIcon& icon, const QString& tip);
    bool RemoveTrayIcon();
    // The text the host shows over the icon (cut to 63 characters, as the icon's own tip is).
    void setTip(const QString& tip);
    QString tip() const;
    bool hasIcon() const { return m_icon != nullptr; }

    // Whether a notification area shows the icon now; without one nothing may hide the window for good.
    bool available() const;
    dw::TrayHost host() const { return m_host; }
    TTrayMenu* menu() const { return m_menu; }
    // What a host reported, as the window gets it (the host's own signal lands here).
    void hostActivated(QSystemTrayIcon::ActivationReason reason);
    // A notification area appeared or went away.
    void setAvailable(bool available);

signals:
    void mouseMessage(quint32 id, int message);
    void availabilityChanged(bool available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createIcon();
    void report(int message);
    void showWindowState();

    QPointer<QWidget> m_window;
    TTrayMenu* m_menu;
    dw::TrayHost m_host;
    dw::TrayAvailability* m_availability;
    bool m_available;
    QSystemTrayIcon* m_icon = nullptr;
    // What a host on the session bus gets: the same actions in a menu of their own,
    // since a menu handed to such a host no longer opens as a pop-up of the program.
    std::unique_ptr<QMenu> m_exportedMenu;
    std::unique_ptr<dw::ModalTrayClicks> m_modalClicks;
    quint32 m_id = 0;
    // Kept until Qt may be asked for its kind of tray (under Wayland: once a host is there).
    std::optional<std::pair<QIcon, QString>> m_pending;
};
