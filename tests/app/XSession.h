#pragma once

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace dwtest {

class PrivateBus;

// Asks every 100 ms until the answer is yes (true) or the time is up (false).
template <typename F> bool PollUntil(F&& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(100);
    }
    return true;
}

// Where the real program runs: what it and the tools see.
class Session
{
public:
    virtual ~Session() = default;
    virtual QProcessEnvironment environment() const = 0;
    // Whether everything the session starts came up.
    virtual bool ok() const = 0;
    // Why the session cannot be had on this machine (the test skips), or empty.
    virtual QString unavailable() const { return {}; }
    // Runs a tool (xdotool, dbus-send, weston-debug ...) in the session; its standard output, or empty on
    // failure.
    QString run(const QString& program, const QStringList& args, int timeoutMs = 5000) const;
    // The address of the accessibility bus that the session's bus names, or empty.
    QString accessibilityBusAddress() const;
};

// A private X display for tests of the real program: Xvfb, a window manager
// (for close boxes) and one kind of notification area: trayer (the old X11
// tray), a StatusNotifierItem host on a private session bus
// (status-notifier-watcher and gtk-sni-tray-standalone), or none, with a task bar
// (tint2 without its tray) in its place. Everything it starts is stopped again;
// no call waits longer than its timeout. Waits end as soon as what they wait for
// is there; their timeouts are generous because the machine may be busy (a
// sanitizer build, other tests in parallel).
class XSession : public Session
{
public:
    static constexpr int WaitMs = 30000;

    enum class Tray
    {
        Trayer,
        StatusNotifier,
        None
    };

    explicit XSession(Tray tray = Tray::Trayer);
    ~XSession() override;
    bool ok() const override { return m_ok; }
    QString display() const { return m_display; }
    // What the program and the tools see: the display, and the session bus if there is one.
    QProcessEnvironment environment() const override;

    // Waits for a visible top-level window with exactly this title; its id or 0.
    qulonglong waitForWindow(const QString& title, int timeoutMs = WaitMs) const;
    bool isWindowVisible(const QString& title) const;
    bool waitForWindowGone(const QString& title, int timeoutMs = WaitMs) const;
    // Records from now on the windows the window manager takes in and lets go (its
    // client list), so that a window shown for a moment is not missed between two looks.
    bool startWindowLog();
    // Since then, in order: "+title" for each window shown, "-title" for each taken away.
    QStringList windowLog() const;
    // Waits until the window has the input focus, so that keys reach it.
    bool waitForActiveWindow(qulonglong window, int timeoutMs = WaitMs) const;
    // Waits until a menu of the program is open (a top-level override-redirect
    // window); where it is on the screen, or an empty rectangle. Click its items:
    // keys may reach the window below while the menu is still taking the keyboard.
    QRect waitForMenu(int timeoutMs = WaitMs) const;
    // The screen rectangle of the program's icon in trayer's panel once trayer shows it, or an empty one.
    QRect trayIconRect() const;
    QRect waitForTrayIcon(int timeoutMs = WaitMs) const;
    bool waitForTrayIconGone(int timeoutMs = WaitMs) const;
    // Asks the window manager to close the window as its close box does.
    void closeWindow(const QString& title) const;
    void click(const QPoint& at, int button = 1, int repeat = 1) const;
    void key(const QString& keys) const;
    void type(const QString& text) const;
    // Saves a screenshot of the whole display as PNG.
    bool screenshot(const QString& pngPath) const;

    // The accessibility bus (on the session's bus), which screen readers use;
    // started before the program, which then always serves it.
    bool startAccessibilityBus();

    // The old X11 tray, started or stopped while the program runs.
    bool startTrayer();
    void stopTrayer();
    // The window manager's view of a window: "Normal", "Iconic", or empty when withdrawn or gone.
    QString windowState(const QString& title) const;
    bool waitForWindowState(const QString& title, const QString& state, int timeoutMs = WaitMs) const;

    // The StatusNotifierItem host: where it shows the program's icon (the bar's
    // right end, where it packs its only item) once it has added it, or an empty rectangle.
    QRect waitForStatusNotifierIcon(int timeoutMs = WaitMs);
    // Whether the host took the program's item away again.
    bool waitForStatusNotifierIconGone(int timeoutMs = WaitMs);
    // Calls a method of the program's item as a host does ("Activate", "ContextMenu").
    bool callStatusNotifierItem(const QString& method, const QPoint& at) const;
    // The captions of the menu the item exports, "-" for a separator.
    QStringList statusNotifierMenu() const;
    // The host and its watcher go away, as when a panel ends.
    void stopStatusNotifierHost();

    // dunst as the notification server on the session's bus (started with it,
    // before the program), with a context menu that picks the item naming
    // menuPick. Whether it took the name org.freedesktop.Notifications.
    bool startNotificationServer(const QString& menuPick);
    // What dunstctl says (count displayed, history ...).
    QString dunstctl(const QStringList& args) const { return run(QStringLiteral("dunstctl"), args); }

private:
    bool startBus();
    bool startStatusNotifierHost();
    bool startTaskBar();
    QString busCall(const QStringList& args) const;
    QString statusNotifierItem() const;
    QString hostLog();

    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;
    QString m_display;
    QString m_bus;
    QString m_hostLog;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_wm;
    std::unique_ptr<QProcess> m_trayer;
    std::unique_ptr<PrivateBus> m_privateBus;
    std::unique_ptr<QProcess> m_notificationServer;
    std::unique_ptr<QProcess> m_watcher;
    std::unique_ptr<QProcess> m_sniHost;
    std::unique_ptr<QProcess> m_taskBar;
    std::unique_ptr<QProcess> m_a11yLauncher;
    std::unique_ptr<QProcess> m_windowLog;
    bool m_ok = false;
};

// Starts dunst with this configuration as the notification server of the
// session's bus; whether it took the name org.freedesktop.Notifications.
bool StartNotificationServer(const Session& session, QProcess& dunst, const QString& config);

// Points within the first and the last item of a menu that waitForMenu found.
inline QPoint FirstMenuItem(const QRect& menu)
{
    return {menu.center().x(), menu.top() + 10};
}
inline QPoint LastMenuItem(const QRect& menu)
{
    return {menu.center().x(), menu.bottom() - 10};
}

// One run of the real program, copied into a folder of its own so that its
// termine.dat lands there.
class ProgramRun
{
public:
    explicit ProgramRun(const Session& session);
    ~ProgramRun();
    QString folder() const { return m_dir.path(); }
    QString dataFile() const { return m_dir.filePath(QStringLiteral("termine.dat")); }
    // The program's clock runs from this moment instead of the real time (next start).
    void setNow(const QDateTime& moment) { m_now = moment.toString(Qt::ISODate); }
    // One more variable of the program's environment (next start).
    void setVariable(const QString& name, const QString& value) { m_extra.insert(name, value); }
    bool start();
    // Sends a signal and waits for the end; the exit code, or -1 if it had to be killed.
    int terminate(int signal, int timeoutMs = XSession::WaitMs);
    int waitForExit(int timeoutMs = XSession::WaitMs);
    bool running() const;
    QString output() const;
    qint64 pid() const { return m_process.processId(); }
    // Starts the program once more on the same folder and waits for that start to
    // end; its exit code (-1 if it had to be killed) and what it printed.
    int startAgain(QString* output = nullptr, int timeoutMs = XSession::WaitMs) const;

private:
    const Session& m_session;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_now;
    QProcessEnvironment m_extra;
};

// The program's executable in the build folder.
QString ProgramPath();

// Where screenshots land: build/screenshots/<name>.
QString ScreenshotPath(const QString& name);
// Skips a test when the program is not built or the session cannot be had here;
// fails it when the session did not come up.
void RequireProgramAndSession(const Session* session);

// The tests of a suite share one session, with what the suite starts in it;
// each test starts its own run. A suite's SetUpTestSuite calls Open, then Need
// for each thing it starts.
template <typename S> class SessionTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { Open(); }
    static void TearDownTestSuite() { s_session.reset(); }
    void SetUp() override
    {
        RequireProgramAndSession(s_session.get());
        ASSERT_TRUE(s_missing.empty()) << s_missing;
    }
    template <typename... Args> static void Open(Args... args)
    {
        s_session = std::make_unique<S>(args...);
        s_missing.clear();
    }
    // Starts something in the session once it is up; missing says what did not come.
    template <typename Start> static void Need(const char* missing, Start&& start)
    {
        if (s_missing.empty() && s_session->ok() && !start(*s_session))
            s_missing = missing;
    }
    static S& session() { return *s_session; }

private:
    static inline std::unique_ptr<S> s_session;
    static inline std::string s_missing;
};

// An X session with one kind of notification area.
template <XSession::Tray Kind> class ProgramTestIn : public SessionTest<XSession>
{
protected:
    static void SetUpTestSuite() { Open(Kind); }
    static XSession& x() { return session(); }
    static QString ScreenshotPath(const QString& name) { return dwtest::ScreenshotPath(name); }
};

using RealProgramTest = ProgramTestIn<XSession::Tray::Trayer>;

} // namespace dwtest
