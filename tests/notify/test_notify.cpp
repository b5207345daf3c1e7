// The notification path against a notification server of the tests' own on a
// private session bus: it records the calls and presses the buttons.
#include "notify/ReminderNotifications.h"

#include "TestSupport.h"
#include "platform/MessageBox.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

class FakeServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    FakeServer(const QString& bus, QStringList capabilities)
        : m_caps(std::move(capabilities)), m_bus(Connect(bus))
    {
        m_bus.registerObject(Path, this, QDBusConnection::ExportAllSlots);
        m_bus.registerService(Interface);
    }
    ~FakeServer() override
    {
        m_bus.unregisterService(Interface); // answered by the bus, so the next server can take the name
        QDBusConnection::disconnectFromBus(m_bus.name());
    }
    static QDBusConnection Connect(const QString& bus)
    {
        static int n = 0;
        return QDBusConnection::connectToBus(bus, QStringLiteral("c%1").arg(++n));
    }
    void emitSignal(const QString& name, const QVariantList& args)
    {
        QDBusMessage s = QDBusMessage::createSignal(Path, Interface, name);
        s.setArguments(args);
        m_bus.send(s);
    }
    // Presses a button as a server does: the activation token first.
    void press(uint id, const QString& action, const QString& token = {})
    {
        if (!token.isEmpty())
            emitSignal(QStringLiteral("ActivationToken"), {id, token});
        emitSignal(QStringLiteral("ActionInvoked"), {id, action});
    }
    void release() { m_bus.send(m_held.createReply(m_heldAnswer)); }

    bool hangCapabilities = false, holdNotify = false;
    int asked = 0;
    QList<QVariantList> notified;
    QList<uint> closed;

public slots:
    QStringList GetCapabilities()
    {
        ++asked;
        if (hangCapabilities)
            Hold(QVariant(m_caps));
        return m_caps;
    }
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        notified.append({app, replaces, icon, summary, body, actions, hints, timeout});
        if (holdNotify)
            Hold(uint(notified.size()));
        return uint(notified.size());
    }
    void CloseNotification(uint id) { closed.append(id); }

private:
    void Hold(const QVariant& answer)
    {
        setDelayedReply(true);
        m_held = message();
        m_heldAnswer = answer;
    }
    QStringList m_caps;
    QDBusConnection m_bus;
    QDBusMessage m_held;
    QVariant m_heldAnswer;
};

// Stands for the dialog: a modal loop that ends when it is answered.
struct FakeDialog : IReminderDialog
{
    std::function<void()> whenShown;
    QEventLoop* loop = nullptr;
    QStringList fronted;
    int ShowReminder(const QString&, const QString&, const QString&) override
    {
        QEventLoop modal;
        loop = &modal;
        QTimer::singleShot(0, &modal, [this] { whenShown ? whenShown() : AnswerReminder(dw::mrYes); });
        QTimer::singleShot(30000, &modal, [&modal] { modal.exit(-1); });
        const int result = modal.exec();
        loop = nullptr;
        return result;
    }
    void CancelReminder() override { AnswerReminder(dw::mrCancel); }
    void AnswerReminder(int result) override
    {
        if (loop)
            loop->exit(result);
    }
    void BringReminderToFront(const QString& token) override { fronted << token; }
};

class Notifications : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_bus = new dwtest::PrivateBus; }
    static void TearDownTestSuite() { delete s_bus; }
    void SetUp() override { ASSERT_FALSE(s_bus->address().isEmpty()) << "no dbus-daemon"; }
    static QString bus() { return s_bus->address(); }
    static bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 30000); }
    static int Remind(ReminderNotifications& n, const QString& name = QStringLiteral("Zahnarzt"))
    {
        return n.ShowReminder(QStringLiteral("Am 24.12.2030 um 18:30:00 Uhr"), name,
                              QStringLiteral("Tom & Jerry <b>\r\nZeile 2"));
    }

private:
    static inline dwtest::PrivateBus* s_bus = nullptr;
};

TEST_F(Notifications, PostWithItsHintsAndTheButtonsTheServerCanShow)
{
    const QString heading = QStringLiteral("Am 24.12.2030 um 18:30:00 Uhr\n");
    const QVariantList buttons{QStringList{"default", "Erinnerung anzeigen", "later", "Später nochmal",
                                           "ignore", "Nicht mehr erinnern"}};
    const struct
    {
        QStringList capabilities;
        QString body;
        QVariant actions;
    } cases[] = {
        {{"actions", "body", "body-markup"}, heading + "Tom &amp; Jerry &lt;b&gt;\nZeile 2", buttons[0]},
        {{"body"}, heading + "Tom & Jerry <b>\nZeile 2", QStringList()}};
    for (const auto& c : cases) {
        FakeServer server(bus(), c.capabilities);
        FakeDialog dialog;
        ReminderNotifications notifications(dialog, FakeServer::Connect(bus()));
        dialog.whenShown = [&] {
            WaitFor([&] { return !server.notified.isEmpty(); });
            dialog.AnswerReminder(dw::mrYes);
        };
        EXPECT_EQ(Remind(notifications), dw::mrYes);
        ASSERT_EQ(server.notified.size(), 1) << c.capabilities.join(' ').toStdString();
        const QVariantList& call = server.notified[0];
        EXPECT_EQ(call.mid(0, 5), (QVariantList{"Datumswecker", 0u, "datumswecker", "Zahnarzt", c.body}));
        EXPECT_EQ(call[5], c.actions);
        const QVariant urgency = call[6].toMap().value(QStringLiteral("urgency"));
        EXPECT_EQ(urgency.metaType(), QMetaType::fromType<uchar>()) << "urgency travels as a byte";
        EXPECT_EQ(urgency.toInt(), 2);
        EXPECT_EQ(call[7], 0);
        EXPECT_TRUE(WaitFor([&] { return server.closed == QList<uint>{1}; }));
    }
}

TEST_F(Notifications, AButtonAnswersTheDialogAndEveryAnswerWithdrawsTheNotification)
{
    using Act = std::function<void(FakeServer&, FakeDialog&, ReminderNotifications&)>;
    const struct
    {
        const char* what;
        Act act;
        int result;
        QList<uint> closed;
        QStringList fronted;
    } cases[] = {
        {"later", [](auto& s, auto&, auto&) { s.press(1, "later"); }, dw::mrYes, {1}, {}},
        {"stop", [](auto& s, auto&, auto&) { s.press(1, "ignore"); }, dw::mrIgnore, {1}, {}},
        {"stale id, then stop",
         [](auto& s, auto&, auto&) { s.press(7, "later"), s.press(1, "ignore"); },
         dw::mrIgnore,
         {1},
         {}},
        {"body, with a token",
         [](auto& s, auto& d, auto&) {
             s.press(1, "default", "tok-1");
             WaitFor([&] { return !d.fronted.isEmpty(); });
             d.AnswerReminder(dw::mrYes);
         },
         dw::mrYes,
         {1},
         {"tok-1"}},
        {"Alle abbrechen",
         [](auto&, auto& d, auto&) { d.AnswerReminder(dw::mrCancel); },
         dw::mrCancel,
         {1},
         {}},
        {"program ends", [](auto&, auto&, auto& n) { n.CancelReminder(); }, dw::mrCancel, {1}, {}},
        // A server may still send the action after closing its notification.
        {"dismissed, then later",
         [](auto& s, auto&, auto&) {
             s.emitSignal("NotificationClosed", {1u, 2u}), s.press(1, "later");
         },
         dw::mrYes,
         {},
         {}},
        {"answered before the post's reply",
         [](auto&, auto& d, auto&) { d.AnswerReminder(dw::mrYes); },
         dw::mrYes,
         {1},
         {}},
        {"program ends before the post's reply",
         [](auto&, auto& d, auto&) { d.AnswerReminder(dw::mrCancel); },
         dw::mrCancel,
         {1},
         {}},
    };
    for (const auto& c : cases) {
        FakeServer server(bus(), {"actions", "body"});
        const bool ends = c.what == std::string("program ends before the post's reply");
        server.holdNotify = ends || c.what == std::string("answered before the post's reply");
        FakeDialog dialog;
        QDBusConnection client = FakeServer::Connect(bus());
        auto notifications = std::make_unique<ReminderNotifications>(dialog, client);
        dialog.whenShown = [&] {
            WaitFor([&] { return !server.notified.isEmpty(); });
            c.act(server, dialog, *notifications);
        };
        EXPECT_EQ(Remind(*notifications), c.result) << c.what;
        if (server.holdNotify)
            server.release();
        if (ends)
            notifications.reset(); // before this thread has seen the post's answer
        EXPECT_EQ(dialog.fronted, c.fronted) << c.what;
        if (!c.closed.isEmpty()) {
            EXPECT_TRUE(WaitFor([&] { return server.closed == c.closed; })) << c.what;
        }
        // Whatever the client sent before reaches the server before this call's answer comes back.
        const QDBusPendingCall roundTrip =
            client.asyncCall(QDBusMessage::createMethodCall(Interface, Path, Interface, "GetCapabilities"));
        WaitFor([&] { return roundTrip.isFinished(); });
        EXPECT_EQ(server.closed, c.closed) << c.what;
    }
}

TEST_F(Notifications, NothingWhenTurnedOffAnsweredFirstOrWithoutServerOrBus)
{
    FakeDialog dialog;
    // No server on the bus, no bus at all: the dialog alone.
    ReminderNotifications noServer(dialog, FakeServer::Connect(bus()));
    EXPECT_EQ(Remind(noServer), dw::mrYes);
    // Neither a bus address nor the user's bus socket: no bus, and none is started.
    QTemporaryDir runtime;
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS"), folder = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    ReminderNotifications noBus(dialog, SessionBusIfThere());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", folder);
    EXPECT_EQ(Remind(noBus), dw::mrYes);

    FakeServer server(bus(), {"actions"});
    ReminderNotifications notifications(dialog, FakeServer::Connect(bus()));
    bool on = false;
    notifications.setEnabled([&on] { return on; });
    EXPECT_EQ(Remind(notifications, QStringLiteral("Aus")), dw::mrYes);
    on = true;
    // A server that does not answer holds nothing up, and an answer after the dialog's posts nothing.
    server.hangCapabilities = true;
    QElapsedTimer t;
    t.start();
    dialog.whenShown = [&] {
        WaitFor([&] { return server.asked == 1; });
        dialog.AnswerReminder(dw::mrYes);
    };
    EXPECT_EQ(Remind(notifications, QStringLiteral("Hängt")), dw::mrYes);
    EXPECT_LT(t.elapsed(), 10000);
    server.hangCapabilities = false;
    server.release();
    dialog.whenShown = [&] {
        WaitFor([&] { return !server.notified.isEmpty(); });
        dialog.AnswerReminder(dw::mrIgnore);
    };
    EXPECT_EQ(Remind(notifications, QStringLiteral("Drei")), dw::mrIgnore);
    ASSERT_EQ(server.notified.size(), 1);
    EXPECT_EQ(server.notified[0][3], QStringLiteral("Drei"));
}

} // namespace

#include "test_notify.moc"
