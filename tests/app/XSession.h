#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace dwtest {

// A private X display for tests of the real program: Xvfb, a window manager
// (for close boxes) and trayer as the notification-area host. Everything it
// starts is stopped again; no call waits longer than its timeout.
class XSession
{
public:
    XSession();
    ~XSession();
    bool ok() const { return m_ok; }
    QString display() const { return m_display; }

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

private:
    QProcessEnvironment environment() const;
    QString m_display;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_wm;
    std::unique_ptr<QProcess> m_trayer;
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

private:
    const XSession& m_session;
    QTemporaryDir m_dir;
    QProcess m_process;
};

// The program's executable in the build folder.
QString ProgramPath();

// Tests of one program share one X session; each test starts its own run.
class RealProgramTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    const XSession& x() const { return *s_session; }
    // Where screenshots land: build/screenshots/<name>.
    static QString ScreenshotPath(const QString& name);

private:
    static XSession* s_session;
};

} // namespace dwtest
