#include "SwaySession.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace dwtest {

namespace {

// The one socket of this kind in a folder, or empty.
QString OnlySocket(const QString& folder, const QString& pattern)
{
    const QStringList found = QDir(folder).entryList({pattern}, QDir::System);
    return found.size() == 1 ? QDir(folder).filePath(found.constFirst()) : QString();
}

} // namespace

SwaySession::SwaySession()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sway")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        m_unavailable = QStringLiteral("sway or setpriv is not installed");
        return;
    }
    QStringList launch{QStringLiteral("--pdeathsig"), QStringLiteral("SIGTERM")};
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("nobody");
        if (!user) {
            m_unavailable = QStringLiteral("running as root, and there is no user \"nobody\" to run sway as");
            return;
        }
        if (::chown(m_swayRuntime.path().toLocal8Bit().constData(), user->pw_uid, user->pw_gid) != 0)
            return;
        launch << QStringLiteral("--reuid=%1").arg(user->pw_uid)
               << QStringLiteral("--regid=%1").arg(user->pw_gid) << QStringLiteral("--clear-groups");
    }
    QFile::setPermissions(m_swayRuntime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // No bar: it would show the real time of day. Windows in the tree say what a bar would.
    QFile config(m_swayRuntime.filePath(QStringLiteral("config")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write("xwayland disable\noutput HEADLESS-1 resolution 1024x768\n");
    config.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::WriteOwner);
    config.close();

    QProcessEnvironment swayEnv;
    swayEnv.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    swayEnv.insert(QStringLiteral("HOME"), m_swayRuntime.path());
    swayEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_swayRuntime.path());
    swayEnv.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    swayEnv.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    swayEnv.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    m_sway.setProcessEnvironment(swayEnv);
    m_sway.setStandardOutputFile(m_runtime.filePath(QStringLiteral("sway.log")));
    m_sway.setStandardErrorFile(m_runtime.filePath(QStringLiteral("sway.log")), QIODevice::Append);
    m_sway.start(QStringLiteral("setpriv"),
                 launch << QStringLiteral("sway") << QStringLiteral("-c") << config.fileName());
    // sway names its sockets itself, in a folder that only it uses.
    const bool up =
        m_sway.waitForStarted(XSession::WaitMs) &&
        PollUntil(
            [this] {
                m_socket = OnlySocket(m_swayRuntime.path(), QStringLiteral("wayland-*"));
                m_ipc = OnlySocket(m_swayRuntime.path(), QStringLiteral("sway-ipc.*"));
                return (!m_socket.isEmpty() && !m_ipc.isEmpty()) || m_sway.state() != QProcess::Running;
            },
            XSession::WaitMs);
    if (!up || m_sway.state() != QProcess::Running)
        return;
    const QString dunstrc = m_runtime.write(
        QStringLiteral("dunstrc"), "[global]\nfont = DejaVu Sans 9\n[urgency_critical]\ntimeout = 0\n");
    m_ok = !dunstrc.isEmpty() && command(QStringLiteral("nop")) &&
           StartNotificationServer(*this, m_dunst, dunstrc);
}

SwaySession::~SwaySession()
{
    StopProcess(m_dunst);
    StopProcess(m_sway);
}

QProcessEnvironment SwaySession::environment() const
{
    QProcessEnvironment env = WaylandEnvironment(m_runtime.path(), m_socket, m_runtime.busAddress());
    env.remove(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"));
    env.insert(QStringLiteral("SWAYSOCK"), m_ipc);
    return env;
}

bool SwaySession::command(const QString& command) const
{
    const QJsonArray results =
        QJsonDocument::fromJson(run(QStringLiteral("swaymsg"), {QStringLiteral("-r"), command}).toUtf8())
            .array();
    return !results.isEmpty() && results.first().toObject().value(QStringLiteral("success")).toBool();
}

QJsonObject SwaySession::findNode(const std::function<bool(const QJsonObject&)>& match) const
{
    const QJsonDocument tree =
        QJsonDocument::fromJson(run(QStringLiteral("swaymsg"),
                                    {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")})
                                    .toUtf8());
    QList<QJsonObject> queue{tree.object()};
    while (!queue.isEmpty()) {
        const QJsonObject node = queue.takeFirst();
        if (node.contains(QStringLiteral("pid")) && match(node))
            return node;
        for (const char* children : {"nodes", "floating_nodes"})
            for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
                queue << child.toObject();
    }
    return {};
}

QJsonObject SwaySession::window(const QString& title) const
{
    return findNode(
        [&](const QJsonObject& node) { return node.value(QStringLiteral("name")).toString() == title; });
}

QJsonObject SwaySession::window(qint64 pid) const
{
    return findNode(
        [&](const QJsonObject& node) { return node.value(QStringLiteral("pid")).toInteger() == pid; });
}

bool SwaySession::waitFor(const QString& title, const char* property, int timeoutMs) const
{
    return PollUntil([&] { return window(title).value(QLatin1String(property)).toBool(); }, timeoutMs);
}

bool SwaySession::waitFor(qint64 pid, const char* property, int timeoutMs) const
{
    return PollUntil([&] { return window(pid).value(QLatin1String(property)).toBool(); }, timeoutMs);
}

} // namespace dwtest
