#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>

namespace dwtest {

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    m_previous = dw::SetMessageBoxHandler([this](const QString& text, const QString& caption, unsigned flags) {
        m_shown.push_back({text, caption, flags});
        if (!m_answers.empty()) {
            const int result = m_answers.front();
            m_answers.pop_front();
            return result;
        }
        return (flags & 0x0F) == dw::MB_OK ? int(dw::mrOk) : int(dw::mrCancel);
    });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    dw::SetMessageBoxHandler(std::move(m_previous));
}

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList result;
    for (const ShownMessage& m : m_shown)
        result << m.text;
    return result;
}

ScopedFakeClock::ScopedFakeClock(dw::TDateTime start) : clock(start), m_previous(&dw::CurrentClock())
{
    dw::SetClock(&clock);
}

ScopedFakeClock::~ScopedFakeClock()
{
    dw::SetClock(m_previous);
}

GermanFormats::GermanFormats()
{
    dw::SetFormats({QStringLiteral("%d.%m.%Y"), QStringLiteral("%H:%M:%S")});
}

GermanFormats::~GermanFormats()
{
    dw::ResetFormats();
}

dw::TDateTime At(int year, int month, int day, int hour, int minute, int second, int msec)
{
    return dw::EncodeDate(year, month, day) + dw::EncodeTime(hour, minute, second, msec);
}

PrivateBus::PrivateBus(const char* type)
{
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write(QByteArray("<busconfig><type>") + type +
                 "</type><listen>unix:tmpdir=/tmp</listen>"
                 "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    config.close();
    // Ends with the test program even when that crashes.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    QElapsedTimer t;
    t.start();
    QByteArray address;
    while (!address.contains('\n') && t.elapsed() < 30000 && m_daemon.waitForStarted(30000) &&
           m_daemon.state() == QProcess::Running) {
        m_daemon.waitForReadyRead(200);
        address += m_daemon.readAllStandardOutput();
    }
    if (address.contains('\n'))
        m_address = QString::fromLatin1(address.trimmed());
}

PrivateBus::~PrivateBus()
{
    StopProcess(m_daemon);
}

void StopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

QString SourceDir()
{
    return QStringLiteral(DW_SOURCE_DIR);
}

QString BinaryDir()
{
    return QStringLiteral(DW_BINARY_DIR);
}

} // namespace dwtest
