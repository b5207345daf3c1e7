// The wake-up as logind announces it, from a stand-in for logind on a private system bus.
#include "TestSupport.h"
#include "platform/SleepWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(SleepWatcher, ReportsTheWakeAndNotTheSleep)
{
    dwtest::PrivateBus system("system");
    ASSERT_FALSE(system.address().isEmpty());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", system.address().toUtf8());
    QDBusConnection logind = QDBusConnection::connectToBus(system.address(), QStringLiteral("logind"));
    ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));
    auto announce = [&](bool sleeping) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << sleeping;
        logind.send(signal);
    };

    dw::SleepWatcher watcher;
    QSignalSpy woke(&watcher, &dw::SleepWatcher::woke);
    // Announced until the watcher's subscription has reached the bus.
    for (int tries = 0; woke.isEmpty() && tries < 30; ++tries) {
        announce(false);
        woke.wait(1000);
    }
    ASSERT_EQ(woke.size(), 1);
    // One sender's signals arrive in order: when the wake is there, the sleep before it was too.
    announce(true);
    announce(false);
    EXPECT_TRUE(woke.wait(30000));
    EXPECT_EQ(woke.size(), 2);
}
