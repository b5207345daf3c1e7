#pragma once

#include "WaylandSession.h"

#include <QJsonObject>

#include <functional>

namespace dwtest {

// A sway session for tests of the real program under a tiling Wayland
// compositor: sway's headless back end with a private session bus and dunst as
// the notification server. sway refuses to run as root, so under root it runs
// as "nobody", in a runtime folder of that user's; the program and the tools
// stay root and reach it by the socket's full path. What sway shows, focuses
// and marks urgent is read from its tree (swaymsg).
class SwaySession : public Session
{
public:
    SwaySession();
    ~SwaySession() override;
    QString unavailable() const override { return m_unavailable; }
    bool ok() const override { return m_ok; }
    QProcessEnvironment environment() const override;

    // The node of sway's tree whose window has this title, or whose client has
    // this process id ("focused", "urgent", "fullscreen_mode", ...); empty when none.
    QJsonObject window(const QString& title) const;
    QJsonObject window(qint64 pid) const;
    // Waits until the window's property (a boolean of its node) is true.
    bool waitFor(const QString& title, const char* property, int timeoutMs = XSession::WaitMs) const;
    bool waitFor(qint64 pid, const char* property, int timeoutMs = XSession::WaitMs) const;
    // Runs a sway command ("[pid=12] focus", ...); whether sway carried it out.
    bool command(const QString& command) const;
    QString dunstctl(const QStringList& args) const { return run(QStringLiteral("dunstctl"), args); }

private:
    QJsonObject findNode(const std::function<bool(const QJsonObject&)>& match) const;

    QTemporaryDir m_swayRuntime;
    WaylandRuntime m_runtime;
    QProcess m_sway;
    QProcess m_dunst;
    QString m_socket;
    QString m_ipc;
    QString m_unavailable;
    bool m_ok = false;
};

} // namespace dwtest
