#include "XSession.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <csignal>
#include <dlfcn.h>
#include <optional>
#include <utility>

namespace dwtest {

namespace {

void Pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

void Stop(std::unique_ptr<QProcess>& process)
{
    if (process)
        StopProcess(*process);
}

// Whether a client owns the X selection, asked through libX11 itself (loaded at
// run time: every X tool the tests use needs it, its headers are not needed).
bool SelectionOwned(const QString& display, const char* selection)
{
    using OpenDisplay = void* (*)(const char*);
    using InternAtom = unsigned long (*)(void*, const char*, int);
    using GetSelectionOwner = unsigned long (*)(void*, unsigned long);
    using CloseDisplay = int (*)(void*);
    static void* const x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!x11)
        return false;
    const auto open = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"));
    const auto intern = reinterpret_cast<InternAtom>(dlsym(x11, "XInternAtom"));
    const auto owner = reinterpret_cast<GetSelectionOwner>(dlsym(x11, "XGetSelectionOwner"));
    const auto close = reinterpret_cast<CloseDisplay>(dlsym(x11, "XCloseDisplay"));
    if (!open || !intern || !owner || !close)
        return false;
    void* connection = open(display.toLocal8Bit().constData());
    if (!connection)
        return false;
    const bool owned = owner(connection, intern(connection, selection, 0)) != 0;
    close(connection);
    return owned;
}

// Where a window is on the screen, from what xwininfo -id says of it.
QRect ScreenRect(const QString& info)
{
    static const QRegularExpression geometry(
        QStringLiteral("Absolute upper-left X:\\s+(-?\\d+).*Absolute upper-left Y:\\s+(-?\\d+).*"
                       "Width:\\s+(\\d+).*Height:\\s+(\\d+)"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = geometry.match(info);
    return m.hasMatch() ? QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                                m.captured(4).toInt())
                        : QRect();
}

} // namespace

QString ProgramPath()
{
    return BinaryDir() + QStringLiteral("/datumswecker");
}

void RequireProgramAndSession(const Session* session)
{
    if (!QFile::exists(ProgramPath()))
        GTEST_SKIP() << "program not built";
    if (session && !session->unavailable().isEmpty())
        GTEST_SKIP() << session->unavailable().toStdString();
    ASSERT_TRUE(session && session->ok()) << "the session did not come up";
}

QString ScreenshotPath(const QString& name)
{
    QDir().mkpath(BinaryDir() + QStringLiteral("/screenshots"));
    return BinaryDir() + QStringLiteral("/screenshots/") + name;
}

XSession::XSession(Tray tray)
{
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Xvfb picks a free display itself and names it on the descriptor given, so
    // tests running side by side never share one. Without -noreset the server
    // resets whenever its last client leaves (the first xdpyinfo, say), and a
    // client that connects meanwhile, the window manager or trayer, fails.
    m_xvfb = std::make_unique<QProcess>();
    m_xvfb->setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_xvfb->waitForStarted(WaitMs))
        return;
    QElapsedTimer t;
    t.start();
    QByteArray number;
    while (!number.contains('\n') && t.elapsed() < WaitMs && m_xvfb->state() == QProcess::Running) {
        m_xvfb->waitForReadyRead(200);
        number += m_xvfb->readAllStandardOutput();
    }
    if (!number.contains('\n'))
        return;
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    // Wait until the server answers.
    PollUntil([this] { return !run(QStringLiteral("xdpyinfo"), {}).isEmpty(); }, WaitMs);

    m_wm = std::make_unique<QProcess>();
    m_wm->setProcessEnvironment(environment());
    m_wm->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    m_wm->waitForStarted(WaitMs);
    switch (tray) {
    case Tray::Trayer:
        m_ok = startTrayer();
        break;
    case Tray::StatusNotifier:
        m_ok = startStatusNotifierHost();
        break;
    case Tray::None:
        m_ok = startTaskBar();
        break;
    }
}

XSession::~XSession()
{
    Stop(m_windowLog);
    Stop(m_a11yLauncher);
    Stop(m_sniHost);
    Stop(m_watcher);
    Stop(m_notificationServer);
    m_privateBus.reset();
    Stop(m_taskBar);
    Stop(m_trayer);
    Stop(m_wm);
    Stop(m_xvfb);
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Only the session's own bus, never the developer's: a tray host there would change what the program
    // serves.
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    if (!m_bus.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus);
    env.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    if (m_a11yLauncher)
        env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    // Nor the developer's runtime folder, where the user's bus socket and a
    // Wayland compositor's socket would be found (dunst prefers Wayland).
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    return env;
}

bool XSession::startTrayer()
{
    m_trayer = std::make_unique<QProcess>();
    m_trayer->setProcessEnvironment(environment());
    m_trayer->start(QStringLiteral("trayer"),
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                     QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                     QStringLiteral("--width"), QStringLiteral("120"), QStringLiteral("--height"),
                     QStringLiteral("24"), QStringLiteral("--SetDockType"), QStringLiteral("true")});
    if (!m_trayer->waitForStarted(WaitMs))
        return false;
    // The tray selection must be owned before the program starts, or it finds no tray.
    return PollUntil([this] { return SelectionOwned(m_display, "_NET_SYSTEM_TRAY_S0"); }, WaitMs);
}

void XSession::stopTrayer()
{
    Stop(m_trayer);
}

bool XSession::startTaskBar()
{
    // A panel with a task bar only: windows have their buttons, but there is no tray.
    const QString config = m_dir.filePath(QStringLiteral("tint2rc"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("rounded = 0\nborder_width = 0\nbackground_color = #3c3c3c 100\nborder_color = #000000 0\n"
               "panel_items = T\npanel_position = bottom center horizontal\npanel_size = 100% 30\n"
               "panel_background_id = 1\ntask_text = 1\ntask_icon = 1\ntask_maximum_size = 200 30\n"
               "font_shadow = 0\ntask_font_color = #ffffff 100\n");
    file.close();
    m_taskBar = std::make_unique<QProcess>();
    m_taskBar->setProcessEnvironment(environment());
    m_taskBar->start(QStringLiteral("tint2"), {QStringLiteral("-c"), config});
    if (!m_taskBar->waitForStarted(WaitMs))
        return false;
    QElapsedTimer t;
    t.start();
    while (!run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(QStringLiteral("\"tint2\""))) {
        if (t.elapsed() > WaitMs)
            return false;
        Pause(50);
    }
    return true;
}

bool XSession::startBus()
{
    if (!m_bus.isEmpty())
        return true;
    m_privateBus = std::make_unique<PrivateBus>();
    m_bus = m_privateBus->address();
    return !m_bus.isEmpty();
}

bool XSession::startAccessibilityBus()
{
    if (!startBus())
        return false;
    m_a11yLauncher = std::make_unique<QProcess>();
    m_a11yLauncher->setProcessEnvironment(environment());
    m_a11yLauncher->start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                          {QStringLiteral("--launch-immediately")});
    return m_a11yLauncher->waitForStarted(WaitMs) &&
           PollUntil([this] { return !accessibilityBusAddress().isEmpty(); }, WaitMs);
}

bool XSession::startNotificationServer(const QString& menuPick)
{
    if (!startBus())
        return false;
    // dunst's context menu asks a dmenu-like program for the line to take; this one takes menuPick's.
    const QString pick = m_dir.filePath(QStringLiteral("menu-pick"));
    const QString picker = m_dir.filePath(QStringLiteral("menu-pick.sh"));
    const QString config = m_dir.filePath(QStringLiteral("dunstrc"));
    QFile pickFile(pick), pickerFile(picker), configFile(config);
    if (!pickFile.open(QIODevice::WriteOnly) || !pickerFile.open(QIODevice::WriteOnly) ||
        !configFile.open(QIODevice::WriteOnly))
        return false;
    pickFile.write(menuPick.toUtf8() + '\n');
    pickerFile.write("#!/bin/sh\nexec grep -m1 -F -f '" + pick.toUtf8() + "'\n");
    pickerFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // A left click runs the default action; markup is read, as a desktop's usual configuration has it.
    const QByteArray menu = "dmenu = " + picker.toUtf8() + '\n';
    configFile.write("[global]\nfont = DejaVu Sans 9\nwidth = 300\norigin = top-right\noffset = 10x40\n"
                     "frame_width = 2\nmarkup = full\nshow_indicators = yes\n"
                     "mouse_left_click = do_action, close_current\n" +
                     menu +
                     "[urgency_critical]\nbackground = \"#fff8dc\"\nforeground = \"#202020\"\n"
                     "frame_color = \"#b00000\"\ntimeout = 0\n");
    pickFile.close();
    pickerFile.close();
    configFile.close();
    m_notificationServer = std::make_unique<QProcess>();
    return StartNotificationServer(*this, *m_notificationServer, config);
}

bool StartNotificationServer(const Session& session, QProcess& dunst, const QString& config)
{
    dunst.setProcessEnvironment(session.environment());
    dunst.start(QStringLiteral("dunst"), {QStringLiteral("-config"), config});
    if (!dunst.waitForStarted(XSession::WaitMs))
        return false;
    return PollUntil(
        [&] {
            return session
                .run(QStringLiteral("dbus-send"),
                     {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                      QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/"),
                      QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                      QStringLiteral("string:org.freedesktop.Notifications")})
                .contains(QStringLiteral("true"));
        },
        XSession::WaitMs);
}

bool XSession::startStatusNotifierHost()
{
    if (!startBus())
        return false;
    QElapsedTimer t;
    t.start();
    m_watcher = std::make_unique<QProcess>();
    m_watcher->setProcessEnvironment(environment());
    m_watcher->start(QStringLiteral("status-notifier-watcher"), {});
    if (!m_watcher->waitForStarted(WaitMs))
        return false;
    while (!busCall({QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/"),
                     QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                     QStringLiteral("string:org.kde.StatusNotifierWatcher")})
                .contains(QStringLiteral("true"))) {
        if (t.elapsed() > WaitMs)
            return false;
        Pause(50);
    }
    m_sniHost = std::make_unique<QProcess>();
    m_sniHost->setProcessEnvironment(environment());
    m_sniHost->setProcessChannelMode(QProcess::MergedChannels);
    m_sniHost->start(QStringLiteral("gtk-sni-tray-standalone"),
                     {QStringLiteral("--top"), QStringLiteral("--end"), QStringLiteral("--size"),
                      QStringLiteral("30"), QStringLiteral("--log-level"), QStringLiteral("INFO")});
    if (!m_sniHost->waitForStarted(WaitMs))
        return false;
    // The program serves this kind of host only when the watcher knows one at its start.
    while (!busCall({QStringLiteral("--dest=org.kde.StatusNotifierWatcher"),
                     QStringLiteral("/StatusNotifierWatcher"),
                     QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                     QStringLiteral("string:org.kde.StatusNotifierWatcher"),
                     QStringLiteral("string:IsStatusNotifierHostRegistered")})
                .contains(QStringLiteral("true")) ||
           !hostLog().contains(QStringLiteral("Building tray"))) {
        if (t.elapsed() > WaitMs)
            return false;
        Pause(100);
    }
    Pause(300);
    return true;
}

void XSession::stopStatusNotifierHost()
{
    Stop(m_sniHost);
    Stop(m_watcher);
}

QString XSession::busCall(const QStringList& args) const
{
    return run(QStringLiteral("dbus-send"),
               QStringList{QStringLiteral("--session"), QStringLiteral("--print-reply")} + args);
}

QString XSession::hostLog()
{
    // Without an event loop the host's output is read only when asked for.
    if (m_sniHost) {
        while (m_sniHost->waitForReadyRead(20)) {
        }
        m_hostLog += QString::fromLocal8Bit(m_sniHost->readAll());
    }
    return m_hostLog;
}

QRect XSession::waitForStatusNotifierIcon(int timeoutMs)
{
    static const QRegularExpression bar(
        QStringLiteral("\"gtk-sni-tray-standalone\": "
                       "\\([^)]*\\)\\s+(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    QElapsedTimer t;
    t.start();
    do {
        const QString log = hostLog();
        const qsizetype added = log.lastIndexOf(QStringLiteral("Adding widget for"));
        if (added >= 0 && log.indexOf(QStringLiteral("ItemRemoved"), added) < 0) {
            const QString tree =
                run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
            for (const QString& line : tree.split(QLatin1Char('\n'))) {
                const QRegularExpressionMatch m = bar.match(line);
                const int width = m.captured(1).toInt();
                const int height = m.captured(2).toInt();
                if (m.hasMatch() && width > 100 && height > 10) {
                    Pause(300); // drawn
                    return QRect(m.captured(3).toInt() + width - height, m.captured(4).toInt(), height,
                                 height);
                }
            }
        }
        Pause(100);
    } while (t.elapsed() < timeoutMs);
    return QRect();
}

bool XSession::waitForStatusNotifierIconGone(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    do {
        const QString log = hostLog();
        if (log.lastIndexOf(QStringLiteral("ItemRemoved")) >
            log.lastIndexOf(QStringLiteral("Adding widget for")))
            return true;
        Pause(100);
    } while (t.elapsed() < timeoutMs);
    return false;
}

QString XSession::statusNotifierItem() const
{
    const QString items = busCall({QStringLiteral("--dest=org.kde.StatusNotifierWatcher"),
                                   QStringLiteral("/StatusNotifierWatcher"),
                                   QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                                   QStringLiteral("string:org.kde.StatusNotifierWatcher"),
                                   QStringLiteral("string:RegisteredStatusNotifierItems")});
    return QRegularExpression(QStringLiteral("\"(:[0-9.]+)")).match(items).captured(1);
}

bool XSession::callStatusNotifierItem(const QString& method, const QPoint& at) const
{
    const QString item = statusNotifierItem();
    return !item.isEmpty() &&
           !busCall({QStringLiteral("--dest=") + item, QStringLiteral("/StatusNotifierItem"),
                     QStringLiteral("org.kde.StatusNotifierItem.") + method,
                     QStringLiteral("int32:%1").arg(at.x()), QStringLiteral("int32:%1").arg(at.y())})
                .isEmpty();
}

QStringList XSession::statusNotifierMenu() const
{
    const QString item = statusNotifierItem();
    if (item.isEmpty())
        return {};
    const QString layout =
        busCall({QStringLiteral("--dest=") + item, QStringLiteral("/MenuBar"),
                 QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("int32:0"),
                 QStringLiteral("int32:-1"), QStringLiteral("array:string:")});
    static const QRegularExpression entry(
        QStringLiteral("string \"(label|type)\"\\s+variant\\s+string \"([^\"]*)\""));
    QStringList items;
    for (auto it = entry.globalMatch(layout); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        items << (m.captured(1) == QStringLiteral("type") ? QStringLiteral("-") : m.captured(2));
    }
    return items;
}

QString XSession::windowState(const QString& title) const
{
    const QString ids =
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                        QStringLiteral("^%1$").arg(QRegularExpression::escape(title))});
    for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString prop =
            run(QStringLiteral("xprop"), {QStringLiteral("-id"), id.trimmed(), QStringLiteral("WM_STATE")});
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("window state: (\\w+)")).match(prop);
        if (m.hasMatch() && m.captured(1) != QStringLiteral("Withdrawn"))
            return m.captured(1);
    }
    return QString();
}

bool XSession::waitForWindowState(const QString& title, const QString& state, int timeoutMs) const
{
    QElapsedTimer t;
    t.start();
    while (windowState(title) != state) {
        if (t.elapsed() > timeoutMs)
            return false;
        Pause(100);
    }
    return true;
}

QString Session::run(const QString& program, const QStringList& args, int timeoutMs) const
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString Session::accessibilityBusAddress() const
{
    return run(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--print-reply=literal"),
                QStringLiteral("--dest=org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                QStringLiteral("org.a11y.Bus.GetAddress")})
        .trimmed();
}

qulonglong XSession::waitForWindow(const QString& title, int timeoutMs) const
{
    qulonglong found = 0;
    PollUntil(
        [&] {
            const QString out =
                run(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                     QStringLiteral("^%1$").arg(QRegularExpression::escape(title))});
            found = out.section(QLatin1Char('\n'), 0, 0).trimmed().toULongLong();
            return found != 0;
        },
        timeoutMs);
    return found;
}

bool XSession::isWindowVisible(const QString& title) const
{
    return waitForWindow(title, 0) != 0;
}

bool XSession::waitForWindowGone(const QString& title, int timeoutMs) const
{
    return PollUntil([&] { return !isWindowVisible(title); }, timeoutMs);
}

bool XSession::startWindowLog()
{
    Stop(m_windowLog);
    m_windowLog = std::make_unique<QProcess>();
    m_windowLog->setProcessEnvironment(environment());
    m_windowLog->setStandardOutputFile(m_dir.filePath(QStringLiteral("clients.log")));
    m_windowLog->start(QStringLiteral("xprop"),
                       {QStringLiteral("-spy"), QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")});
    // Its first line is the list as it is, printed once it follows the changes.
    return m_windowLog->waitForStarted(WaitMs) &&
           PollUntil([this] { return QFileInfo(m_dir.filePath(QStringLiteral("clients.log"))).size() > 0; },
                     WaitMs);
}

QStringList XSession::windowLog() const
{
    // Each line is the whole list after a change, the first one the list as it was.
    static const QRegularExpression window(QStringLiteral("0x[0-9a-f]+"));
    QFile file(m_dir.filePath(QStringLiteral("clients.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // empty, or still being written
    auto titled = [this](QChar change, const QString& id) {
        const QString decimal = QString::number(id.toULongLong(nullptr, 16));
        return change + run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), decimal}).trimmed();
    };
    QStringList log;
    std::optional<QSet<QString>> before;
    for (const QByteArray& line : lines) {
        QSet<QString> now;
        for (auto it = window.globalMatch(QString::fromLatin1(line)); it.hasNext();)
            now << it.next().captured();
        if (before) {
            for (const QString& id : now - *before)
                log << titled(QLatin1Char('+'), id);
            for (const QString& id : *before - now)
                log << titled(QLatin1Char('-'), id);
        }
        before = now;
    }
    return log;
}

bool XSession::waitForActiveWindow(qulonglong window, int timeoutMs) const
{
    return PollUntil(
        [&] {
            return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")})
                       .trimmed()
                       .toULongLong() == window;
        },
        timeoutMs);
}

QRect XSession::waitForMenu(int timeoutMs) const
{
    // The tray icon is override-redirect too, and as tall as a menu item, but
    // its parent is the panel; every window's listing names the root window
    // besides, so only the parent's line tells them apart.
    static const QRegularExpression onRoot(
        QStringLiteral("Parent window id: 0x[0-9a-f]+ \\(the root window\\)"));
    QRect menu;
    PollUntil(
        [&] {
            const QStringList windows =
                run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--class"), QStringLiteral("datumswecker")})
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (const QString& id : windows) {
                const QString info = run(QStringLiteral("xwininfo"),
                                         {QStringLiteral("-children"), QStringLiteral("-id"), id.trimmed()}) +
                                     run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id.trimmed()});
                if (info.contains(QStringLiteral("Override Redirect State: yes")) &&
                    onRoot.match(info).hasMatch()) {
                    menu = ScreenRect(info);
                    return menu.height() > 20;
                }
            }
            return false;
        },
        timeoutMs);
    return menu.height() > 20 ? menu : QRect();
}

QRect XSession::trayIconRect() const
{
    // The icon is a window of the program embedded in trayer's panel. Only the
    // panel's subtree counts: until trayer has taken the icon in, the program's
    // other windows (a reminder, say) are listed after the panel as well.
    static const QRegularExpression window(QStringLiteral("^(\\s*)(0x[0-9a-f]+) (.*)$"));
    const QString tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    qsizetype panelDepth = -1;
    QString icon;
    for (const QString& l : tree.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = window.match(l);
        if (!m.hasMatch())
            continue;
        const qsizetype depth = m.capturedLength(1);
        if (panelDepth < 0) {
            if (m.captured(3).contains(QStringLiteral("\"panel\"")))
                panelDepth = depth;
        } else if (depth <= panelDepth) {
            break;
        } else if (m.captured(3).contains(QStringLiteral("(\"datumswecker\" "))) {
            icon = m.captured(2);
            break;
        }
    }
    if (icon.isEmpty())
        return QRect();
    // Trayer lists the icon before it maps it, at the end of the XEmbed handshake.
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), icon});
    return info.contains(QStringLiteral("Map State: IsViewable")) ? ScreenRect(info) : QRect();
}

QRect XSession::waitForTrayIcon(int timeoutMs) const
{
    // Trayer moves and sizes the icon while it takes it in; a click lands where
    // the icon stays, the same place on two polls in a row.
    QRect last;
    QRect icon;
    const bool resting = PollUntil(
        [&] {
            icon = trayIconRect();
            return icon.width() > 1 && std::exchange(last, icon) == icon;
        },
        timeoutMs);
    return resting ? icon : QRect();
}

bool XSession::waitForTrayIconGone(int timeoutMs) const
{
    return PollUntil([&] { return !trayIconRect().isValid(); }, timeoutMs);
}

void XSession::closeWindow(const QString& title) const
{
    run(QStringLiteral("wmctrl"), {QStringLiteral("-F"), QStringLiteral("-c"), title});
}

void XSession::click(const QPoint& at, int button, int repeat) const
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    Pause(100);
    run(QStringLiteral("xdotool"),
        {QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
         QStringLiteral("--delay"), QStringLiteral("80"), QString::number(button)});
}

void XSession::key(const QString& keys) const
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), keys});
}

void XSession::type(const QString& text) const
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

bool XSession::screenshot(const QString& pngPath) const
{
    QProcess xwd;
    xwd.setProcessEnvironment(environment());
    QProcess convert;
    xwd.setStandardOutputProcess(&convert);
    xwd.start(QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent")});
    convert.start(QStringLiteral("/usr/bin/convert"), {QStringLiteral("xwd:-"), pngPath});
    const bool ok = xwd.waitForFinished(WaitMs) && convert.waitForFinished(WaitMs);
    return ok && QFile::exists(pngPath);
}

ProgramRun::ProgramRun(const Session& session) : m_session(session)
{
    // A portable copy: the command and the programs it starts, side by side, with the sync's plugin.
    for (const QString& name :
         {QStringLiteral("datumswecker"), QStringLiteral("datumswecker-window"),
          QStringLiteral("datumswecker-cli"), QStringLiteral("datumswecker-sync-net.so")}) {
        QFile::copy(BinaryDir() + QLatin1Char('/') + name, m_dir.filePath(name));
        QFile::setPermissions(m_dir.filePath(name),
                              QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

ProgramRun::~ProgramRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool ProgramRun::start()
{
    QProcessEnvironment env = m_session.environment();
    if (!m_now.isEmpty())
        env.insert(QStringLiteral("DATUMSWECKER_TEST_NOW"), m_now);
    env.insert(m_extra);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // A working folder elsewhere proves the data file follows the program, not the folder.
    m_process.setWorkingDirectory(QDir::tempPath());
    m_process.start(m_dir.filePath(QStringLiteral("datumswecker")), {});
    return m_process.waitForStarted(XSession::WaitMs);
}

int ProgramRun::startAgain(QString* output, int timeoutMs) const
{
    QProcess again;
    QProcessEnvironment env = m_session.environment();
    if (!m_now.isEmpty())
        env.insert(QStringLiteral("DATUMSWECKER_TEST_NOW"), m_now);
    env.insert(m_extra);
    again.setProcessEnvironment(env);
    again.setProcessChannelMode(QProcess::MergedChannels);
    again.setWorkingDirectory(QDir::tempPath());
    again.start(m_dir.filePath(QStringLiteral("datumswecker")), {});
    const bool ended = again.waitForFinished(timeoutMs);
    if (!ended) {
        again.kill();
        again.waitForFinished(3000);
    }
    if (output)
        *output = QString::fromLocal8Bit(again.readAll());
    return ended && again.exitStatus() == QProcess::NormalExit ? again.exitCode() : -1;
}

int ProgramRun::terminate(int signal, int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitCode();
    ::kill(static_cast<pid_t>(m_process.processId()), signal);
    return waitForExit(timeoutMs);
}

int ProgramRun::waitForExit(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs) && m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

bool ProgramRun::running() const
{
    return m_process.state() != QProcess::NotRunning;
}

QString ProgramRun::output() const
{
    return QString::fromLocal8Bit(const_cast<QProcess&>(m_process).readAll());
}

} // namespace dwtest
