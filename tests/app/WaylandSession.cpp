#include "WaylandSession.h"

#include "AtSpi.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace dwtest {

namespace {
const QString SocketName = QStringLiteral("wayland-datumswecker");
} // namespace

WaylandRuntime::WaylandRuntime()
{
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString WaylandRuntime::write(const QString& name, const QByteArray& text) const
{
    QFile file(m_dir.filePath(name));
    const bool written =
        !busAddress().isEmpty() && file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    return written ? file.fileName() : QString();
}

WaylandSession::WaylandSession()
{
    // No panel: it would show the real time of day in the screenshots.
    const QString ini = m_runtime.write(QStringLiteral("weston.ini"),
                                        "[shell]\npanel-position=none\nbackground-color=0xff3c5a78\n");
    if (ini.isEmpty())
        return;
    m_weston.setProcessEnvironment(environment());
    m_weston.setStandardOutputFile(m_runtime.filePath(QStringLiteral("weston.log")));
    m_weston.setStandardErrorFile(m_runtime.filePath(QStringLiteral("weston.log")), QIODevice::Append);
    // --debug opens the debug protocol (the scene graph) and the screenshooter.
    m_weston.start(QStringLiteral("weston"),
                   {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                    QStringLiteral("--width=1024"), QStringLiteral("--height=768"),
                    QStringLiteral("--socket=") + SocketName, QStringLiteral("--config=") + ini,
                    QStringLiteral("--idle-time=0"), QStringLiteral("--debug")});
    m_a11yLauncher.setProcessEnvironment(environment());
    m_a11yLauncher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                         {QStringLiteral("--launch-immediately")});
    m_ok = m_weston.waitForStarted(XSession::WaitMs) && m_a11yLauncher.waitForStarted(XSession::WaitMs) &&
           PollUntil(
               [this] {
                   return run(QStringLiteral("weston-debug"), {QStringLiteral("scene-graph")})
                              .contains(QStringLiteral("background for output")) &&
                          !accessibilityBusAddress().isEmpty();
               },
               XSession::WaitMs);
}

WaylandSession::~WaylandSession()
{
    StopProcess(m_protocolLog);
    StopProcess(m_a11yLauncher);
    StopProcess(m_weston);
    // The accessibility registry ends with the session bus.
}

QProcessEnvironment WaylandEnvironment(const QString& runtime, const QString& display, const QString& bus)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_SOCKET", "XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    // Qt 6.4's own text input crashes the first text field that paints under a
    // compositor without a seat; real desktops always have one.
    env.insert(QStringLiteral("QT_IM_MODULE"), QStringLiteral("compose"));
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    // Qt loads Mesa's EGL to learn whether it may draw title bars; Mesa's drivers
    // leak and are unloaded before the sanitizer's leak check could name them in a
    // suppression. Under the sanitizers the windows go without title bars instead.
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION"), QStringLiteral("none"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
    return env;
}

QProcessEnvironment WaylandSession::environment() const
{
    return WaylandEnvironment(m_runtime.path(), SocketName, m_runtime.busAddress());
}

QStringList WaylandSession::shownWindows() const
{
    static const QRegularExpression window(QStringLiteral("top-level window '([^']*)'"));
    QStringList titles;
    const QString graph = run(QStringLiteral("weston-debug"), {QStringLiteral("scene-graph")});
    for (auto it = window.globalMatch(graph); it.hasNext();)
        titles << it.next().captured(1);
    return titles;
}

bool WaylandSession::waitForWindow(const QString& title, bool shown, int timeoutMs) const
{
    return PollUntil([&] { return shownWindows().contains(title) == shown; }, timeoutMs);
}

bool WaylandSession::startWindowLog()
{
    StopProcess(m_protocolLog);
    const QString file = m_runtime.filePath(QStringLiteral("protocol.log"));
    QFile::remove(file);
    m_protocolLog.setProcessEnvironment(environment());
    // The compositor writes into the file itself, so no reader can fall behind.
    m_protocolLog.start(QStringLiteral("weston-debug"),
                        {QStringLiteral("--output"), file, QStringLiteral("proto")});
    // The log's first line is weston-debug's own request, once it is subscribed.
    return m_protocolLog.waitForStarted(XSession::WaitMs) &&
           PollUntil([&] { return QFileInfo(file).size() > 0; }, XSession::WaitMs);
}

QStringList WaylandSession::windowLog() const
{
    // Qt makes a top-level anew each time a window is shown and destroys it when
    // the window is hidden; ids are per client and used again.
    static const QRegularExpression request(QStringLiteral(
        "client (0x[0-9a-f]+) rq xdg_toplevel@(\\d+)\\.(?:set_title\\(\"(.*)\"\\)|destroy\\(\\))$"));
    QFile file(m_runtime.filePath(QStringLiteral("protocol.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QHash<QString, QString> titles;
    QStringList log;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = request.match(line);
        if (!m.hasMatch())
            continue;
        const QString toplevel = m.captured(1) + m.captured(2);
        if (m.hasCaptured(3) && !titles.contains(toplevel))
            log << QLatin1Char('+') + m.captured(3);
        if (m.hasCaptured(3))
            titles.insert(toplevel, m.captured(3));
        else if (titles.contains(toplevel))
            log << QLatin1Char('-') + titles.take(toplevel);
    }
    return log;
}

bool WaylandSession::press(const QString& name, int timeoutMs) const
{
    using namespace atspi;
    const QString address = accessibilityBusAddress();
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("a11y ") + address);
    return PollUntil(
        [&] {
            QList<Node> queue = Children(bus, Root());
            while (!queue.isEmpty()) {
                const Node node = queue.takeFirst();
                if (Property(bus, node, QStringLiteral("Name")).toString() == name) {
                    const QDBusMessage done = Call(bus, node, QStringLiteral("org.a11y.atspi.Action"),
                                                   QStringLiteral("DoAction"), {0});
                    return !done.arguments().isEmpty() && done.arguments().constFirst().toBool();
                }
                // Not into the rows of the date tree and the list.
                if (Property(bus, node, QStringLiteral("ChildCount")).toInt() <= 50)
                    queue << Children(bus, node);
            }
            return false;
        },
        timeoutMs);
}

bool WaylandSession::screenshot(const QString& pngPath) const
{
    // The screenshooter names its file after the time, so each shot gets a folder
    // of its own. The compositor may still show the frame before the last change:
    // a picture counts once the next one is the same.
    auto shoot = [this] {
        QTemporaryDir shots;
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(shots.path());
        p.start(QStringLiteral("weston-screenshooter"), {});
        const QStringList files = p.waitForFinished(XSession::WaitMs)
                                      ? QDir(shots.path()).entryList({QStringLiteral("*.png")})
                                      : QStringList();
        QFile file(files.isEmpty() ? QString() : shots.filePath(files.constFirst()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QByteArray last = shoot();
    QByteArray now;
    const bool settled = PollUntil(
        [&] {
            now = shoot();
            const bool same = now == last;
            last = now;
            return same;
        },
        XSession::WaitMs);
    QFile out(pngPath);
    return settled && !now.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(now) == now.size();
}

} // namespace dwtest
