#pragma once

#include "XSession.h"

namespace dwtest {

// What a Qt program and the tools see in a private Wayland session: its runtime
// folder, the compositor's socket (a name there or a full path) and its session bus.
QProcessEnvironment WaylandEnvironment(const QString& runtime, const QString& display, const QString& bus);

// What every Wayland session of the tests has besides its compositor: a
// runtime folder of the user's alone, with the compositor's socket, the
// configuration files and the logs, and a private session bus.
class WaylandRuntime
{
public:
    WaylandRuntime();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Empty when the bus did not come up.
    QString busAddress() const { return m_bus.address(); }
    // Writes a configuration file there once the bus is up; its path, or empty.
    QString write(const QString& name, const QByteArray& text) const;

private:
    QTemporaryDir m_dir;
    PrivateBus m_bus;
};

// A private Wayland session for tests of the real program as a native Wayland
// client: weston's headless back end (no seat, so no input devices), a private
// XDG_RUNTIME_DIR and session bus, and the accessibility bus, through which the
// test presses the program's controls as a screen reader does. What the
// compositor shows is read from its own scene graph (weston's debug protocol):
// a window that is hidden or minimised is not in it.
class WaylandSession : public Session
{
public:
    WaylandSession();
    ~WaylandSession() override;
    bool ok() const override { return m_ok; }
    QProcessEnvironment environment() const override;

    // The titles of the top-level windows the compositor shows now.
    QStringList shownWindows() const;
    bool waitForWindow(const QString& title, bool shown = true, int timeoutMs = XSession::WaitMs) const;
    // Records from now on what the clients ask of the compositor (its protocol log),
    // so that a window shown for a moment is not missed between two looks.
    bool startWindowLog();
    // Since then, in order: "+title" for each top-level window made, "-title" for each taken away.
    QStringList windowLog() const;
    // Presses the first control of the program with this accessible name (a button, a page's tab).
    bool press(const QString& name, int timeoutMs = XSession::WaitMs) const;
    bool screenshot(const QString& pngPath) const;

private:
    WaylandRuntime m_runtime;
    QProcess m_weston;
    QProcess m_a11yLauncher;
    QProcess m_protocolLog;
    bool m_ok = false;
};

} // namespace dwtest
