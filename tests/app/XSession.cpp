#include "XSession.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <csignal>

namespace dwtest {

namespace {

void Pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

void Stop(std::unique_ptr<QProcess>& process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
}

} // namespace

QString ProgramPath()
{
    return BinaryDir() + QStringLiteral("/datumswecker");
}

XSession* RealProgramTest::s_session = nullptr;

void RealProgramTest::SetUpTestSuite()
{
    s_session = new XSession;
}

void RealProgramTest::TearDownTestSuite()
{
    delete s_session;
    s_session = nullptr;
}

void RealProgramTest::SetUp()
{
    if (!QFile::exists(ProgramPath()))
        GTEST_SKIP() << "program not built";
    ASSERT_TRUE(s_session && s_session->ok()) << "no X session";
}

QString RealProgramTest::ScreenshotPath(const QString& name)
{
    QDir().mkpath(BinaryDir() + QStringLiteral("/screenshots"));
    return BinaryDir() + QStringLiteral("/screenshots/") + name;
}

XSession::XSession()
{
    // Xvfb picks a free display itself and names it on the descriptor given, so
    // tests running side by side never share one.
    m_xvfb = std::make_unique<QProcess>();
    m_xvfb->setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    if (!m_xvfb->waitForStarted(5000))
        return;
    QElapsedTimer t;
    t.start();
    QByteArray number;
    while (!number.contains('\n') && t.elapsed() < 10000 && m_xvfb->state() == QProcess::Running) {
        m_xvfb->waitForReadyRead(200);
        number += m_xvfb->readAllStandardOutput();
    }
    if (!number.contains('\n'))
        return;
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    // Wait until the server answers.
    while (run(QStringLiteral("xdpyinfo"), {}).isEmpty() && t.elapsed() < 10000)
        Pause(50);

    m_wm = std::make_unique<QProcess>();
    m_wm->setProcessEnvironment(environment());
    m_wm->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    m_wm->waitForStarted(5000);
    m_trayer = std::make_unique<QProcess>();
    m_trayer->setProcessEnvironment(environment());
    m_trayer->start(QStringLiteral("trayer"),
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                     QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                     QStringLiteral("--width"), QStringLiteral("120"), QStringLiteral("--height"),
                     QStringLiteral("24"), QStringLiteral("--SetDockType"), QStringLiteral("true")});
    m_trayer->waitForStarted(5000);
    // The tray selection must be owned before the program starts, or it finds no tray.
    t.restart();
    while (!run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(QStringLiteral("\"panel\"")) &&
           t.elapsed() < 10000)
        Pause(50);
    Pause(300);
    m_ok = true;
}

XSession::~XSession()
{
    Stop(m_trayer);
    Stop(m_wm);
    Stop(m_xvfb);
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    return env;
}

QString XSession::run(const QString& program, const QStringList& args, int timeoutMs) const
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

qulonglong XSession::waitForWindow(const QString& title, int timeoutMs) const
{
    QElapsedTimer t;
    t.start();
    do {
        const QString out =
            run(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                 QStringLiteral("^%1$").arg(QRegularExpression::escape(title))});
        const QString first = out.section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!first.isEmpty())
            return first.toULongLong();
        Pause(100);
    } while (t.elapsed() < timeoutMs);
    return 0;
}

bool XSession::isWindowVisible(const QString& title) const
{
    return waitForWindow(title, 0) != 0;
}

bool XSession::waitForWindowGone(const QString& title, int timeoutMs) const
{
    QElapsedTimer t;
    t.start();
    while (isWindowVisible(title)) {
        if (t.elapsed() > timeoutMs)
            return false;
        Pause(100);
    }
    return true;
}

QRect XSession::trayIconRect() const
{
    // The icon is a window of the program embedded in trayer's panel.
    const QString tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    static const QRegularExpression line(QStringLiteral(
        "\\(\"datumswecker\" \"[^\"]*\"\\)\\s+(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    bool inPanel = false;
    for (const QString& l : tree.split(QLatin1Char('\n'))) {
        if (l.contains(QStringLiteral("\"panel\"")))
            inPanel = true;
        if (!inPanel)
            continue;
        const QRegularExpressionMatch m = line.match(l);
        if (m.hasMatch() && !l.contains(QStringLiteral("Norvex")))
            return QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                         m.captured(2).toInt());
    }
    return QRect();
}

QRect XSession::waitForTrayIcon(int timeoutMs) const
{
    QElapsedTimer t;
    t.start();
    do {
        const QRect r = trayIconRect();
        if (r.isValid() && r.width() > 1)
            return r;
        Pause(100);
    } while (t.elapsed() < timeoutMs);
    return QRect();
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
    const bool ok = xwd.waitForFinished(10000) && convert.waitForFinished(10000);
    return ok && QFile::exists(pngPath);
}

ProgramRun::ProgramRun(const XSession& session) : m_session(session)
{
    QFile::copy(ProgramPath(), m_dir.filePath(QStringLiteral("datumswecker")));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("datumswecker")),
                          QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_session.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // A working folder elsewhere proves the data file follows the program, not the folder.
    m_process.setWorkingDirectory(QDir::tempPath());
    m_process.start(m_dir.filePath(QStringLiteral("datumswecker")), {});
    return m_process.waitForStarted(5000);
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
