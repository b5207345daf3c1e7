#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace dwtest {

// A private X display for tests of the real program: Xvfb, a window manager
// (for close boxes) and one kind of notification area: trayer (the old X11
// tray), a StatusNotifierItem host on a private session bus
// (status-notifier-watcher and gtk-sni-tray-standalone), or none, with a task bar
// (tint2 without its tray) in its place. Everything it starts is stopped again;
// no call waits longer than its timeout.
class XSession
{
public:
    enum class Tray
    {
        Trayer,
        StatusNotifier,
        None
    };

    explicit XSession(Tray tray = Tray::Trayer);
    ~XSession();
    bool ok() const { return m_ok; }
    QString display() const { return m_display; }
    // What the program and the tools see: the display, and the session bus if there is one.
    QProcessEnvironment environment() const;

    // Runs an X tool (xdotool, wmctrl, xwininfo ...) on this display; stdout, or empty on failure.
    QString run(const QString& program, const QStringList& args, int timeoutMs = 5000) const;
    // Waits for a visible top-level window with exactly this title; its id or 0.
    qulonglong waitForWindow(const QString& title, int timeoutMs = 10000) const;
    bool isWindowVisible(const QString& title) const;
    bool waitForWindowGone(const QString& title, int timeoutMs = 10000) const;
    // The screen rectangle of the program's icon in trayer's panel, or an empty one.
    QRect trayIconRect() const;
    QRect waitForTrayIcon(int timeoutMs = 10000) const;
    // Asks the window manager to close the window as its close box does.
    void closeWindow(const QString& title) const;
    void click(const QPoint& at, int button = 1, int repeat = 1) const;
    void key(const QString& keys) const;
    void type(const QString& text) const;
    // Saves a screenshot of the whole display as PNG.
    bool screenshot(const QString& pngPath) const;

    // The old X11 tray, started or stopped while the program runs.
    bool startTrayer();
    void stopTrayer();
    // The window manager's view of a window: "Normal", "Iconic", or empty when withdrawn or gone.
    QString windowState(const QString& title) const;
    bool waitForWindowState(const QString& title, const QString& state, int timeoutMs = 10000) const;

    // The StatusNotifierItem host: where it shows the program's icon (the bar's
    // right end, where it packs its only item) once it has added it, or an empty rectangle.
    QRect waitForStatusNotifierIcon(int timeoutMs = 10000);
    // Whether the host took the program's item away again.
    bool waitForStatusNotifierIconGone(int timeoutMs = 10000);
    // Calls a method of the program's item as a host does ("Activate", "ContextMenu").
    bool callStatusNotifierItem(const QString& method, const QPoint& at) const;
    // The captions of the menu the item exports, "-" for a separator.
    QStringList statusNotifierMenu() const;
    // The host and its watcher go away, as when a panel ends.
    void stopStatusNotifierHost();

private:
    bool startStatusNotifierHost();
    bool startTaskBar();
    QString busCall(const QStringList& args) const;
    QString statusNotifierItem() const;
    QString hostLog();

    QTemporaryDir m_dir;
    QString m_display;
    QString m_bus;
    QString m_hostLog;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_wm;
    std::unique_ptr<QProcess> m_trayer;
    std::unique_ptr<QProcess> m_busDaemon;
    std::unique_ptr<QProcess> m_watcher;
    std::unique_ptr<QProcess> m_sniHost;
    std::unique_ptr<QProcess> m_taskBar;
    bool m_ok = false;
};

// One run of the real program, copied into a folder of its own so that its
// termine.dat lands there.
class ProgramRun
{
public:
    explicit ProgramRun(const XSession& session);
    ~ProgramRun();
    QString folder() const { return m_dir.path(); }
    QString dataFile() const { return m_dir.filePath(QStringLiteral("termine.dat")); }
    bool start();
    // Sends a signal and waits for the end; the exit code, or -1 if it had to be killed.
    int terminate(int signal, int timeoutMs = 10000);
    int waitForExit(int timeoutMs = 10000);
    bool running() const;
    QString output() const;
    qint64 pid() const { return m_process.processId(); }
    // Starts the program once more on the same folder and waits for that start to
    // end; its exit code (-1 if it had to be killed) and what it printed.
    int startAgain(QString* output = nullptr, int timeoutMs = 15000) const;

private:
    const XSession& m_session;
    QTemporaryDir m_dir;
    QProcess m_process;
};

// The program's executable in the build folder.
QString ProgramPath();

// Where screenshots land: build/screenshots/<name>.
QString ScreenshotPath(const QString& name);
// Skips a test when the program is not built; fails it when the session did not come up.
void RequireProgramAndSession(const XSession* session);

// Tests of one program share one X session with one kind of notification area;
// each test starts its own run.
template <XSession::Tray Kind> class ProgramTestIn : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_session = new XSession(Kind); }
    static void TearDownTestSuite()
    {
        delete s_session;
        s_session = nullptr;
    }
    void SetUp() override { RequireProgramAndSession(s_session); }
    static XSession& x() { return *s_session; }
    static QString ScreenshotPath(const QString& name) { return dwtest::ScreenshotPath(name); }

private:
    static inline XSession* s_session = nullptr;
};

using RealProgramTest = ProgramTestIn<XSession::Tray::Trayer>;

} // namespace dwtest
