#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace dwtest {

// A session bus of the tests' own: dbus-daemon without service activation, so
// nothing starts on it that a test did not start; stopped with the object.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    // Its address, empty when it did not come up.
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

} // namespace dwtest
