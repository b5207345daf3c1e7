#pragma once

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/RegionalFormats.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>

namespace dwtest {

struct ShownMessage
{
    QString text;
    QString caption;
    unsigned flags;
};

// Answers message boxes from a script instead of showing them, and records them.
// With an empty script every box is answered OK (or Cancel where OK is no choice).
class ScriptedMessageBoxes
{
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    void answer(int result) { m_answers.push_back(result); }
    const std::vector<ShownMessage>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    std::deque<int> m_answers;
    std::vector<ShownMessage> m_shown;
    dw::MessageBoxHandler m_previous;
};

// Installs a fake clock for the life of the object, then puts back the one before.
// Every test program starts on a fixed one (TestMain.cpp), so no test reads
// the real clock.
class ScopedFakeClock
{
public:
    explicit ScopedFakeClock(dw::TDateTime start);
    ~ScopedFakeClock();
    dw::FakeClock clock;

private:
    dw::Clock* m_previous;
};

// Pins the German formats ("%d.%m.%Y", "%H:%M:%S") for the life of the object.
class GermanFormats
{
public:
    GermanFormats();
    ~GermanFormats();
};

// A moment from its parts, for readable tests.
dw::TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0);

// Asks a process to end, and kills it when it does not within three seconds.
void StopProcess(QProcess& process);

// A message bus of the test's own ("session" or "system"), without service
// activation, so nothing starts on it that the test did not start. Stopped with the object.
class PrivateBus
{
public:
    explicit PrivateBus(const char* type = "session");
    ~PrivateBus();
    // Empty when it did not come up.
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

// Source and build folders, as the test runner sets them.
QString SourceDir();
QString BinaryDir();

} // namespace dwtest
