#include "platform/SleepWatcher.h"

#include <QDBusConnection>

namespace dw {

SleepWatcher::SleepWatcher(QObject* parent) : QObject(parent)
{
    // QtDBus takes slots by name only.
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
}

void SleepWatcher::prepareForSleep(bool sleeping)
{
    if (!sleeping)
        emit woke();
}

} // namespace dw
