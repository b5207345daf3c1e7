#include "notify/ReminderNotifications.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <QVariantMap>

#include <utility>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

const QString DefaultAction = QStringLiteral("default");
const QString LaterAction = QStringLiteral("later");
const QString IgnoreAction = QStringLiteral("ignore");

QDBusMessage Call(const QString& method)
{
    return QDBusMessage::createMethodCall(Service, Path, Service, method);
}

// Descriptions keep the CR LF line breaks they were typed with. A server that
// reads markup would take a typed (or imported) "<" or "&" as markup, so the
// text is escaped for it and shows as it was typed.
QString BodyText(QString text, bool serverReadsMarkup)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (serverReadsMarkup) {
        text.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
        text.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
        text.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    }
    return text;
}

QDBusMessage NotifyCall(const QString& summary, const QString& body, const QStringList& capabilities)
{
    QStringList actions;
    if (capabilities.contains(QStringLiteral("actions")))
        actions = QStringList{
            DefaultAction, QCoreApplication::translate("ReminderNotifications", "Erinnerung anzeigen"),
            LaterAction,   QCoreApplication::translate("ReminderNotifications", "Später nochmal"),
            IgnoreAction,  QCoreApplication::translate("ReminderNotifications", "Nicht mehr erinnern")};
    // Critical, so that it stays until it is answered, like the dialog.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                            {QStringLiteral("desktop-entry"), QStringLiteral("datumswecker")}};
    QDBusMessage notify = Call(QStringLiteral("Notify"));
    notify << QStringLiteral("Datumswecker") << uint(0) << QStringLiteral("datumswecker") << summary
           << BodyText(body, capabilities.contains(QStringLiteral("body-markup"))) << actions << hints
           << int(0); // never expires
    return notify;
}

// Runs done with the answer to call, in context's thread, unless context is gone by then.
template <typename F> void OnReply(QObject* context, const QDBusPendingCall& call, F done)
{
    auto* watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, done] {
        watcher->deleteLater();
        done(*watcher);
    });
}

} // namespace

QDBusConnection SessionBusIfThere()
{
    const QString userBus = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") || !QFileInfo::exists(userBus)))
        return QDBusConnection(QStringLiteral("dw-no-session-bus"));
    return QDBusConnection::sessionBus();
}

ReminderNotifications::ReminderNotifications(IReminderDialog& dialog, const QDBusConnection& bus,
                                             QObject* parent)
    : QObject(parent), m_dialog(dialog), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // Without a service name: with one, QtDBus would ask the bus for its owner
    // and wait for the answer. Signals count only from the server that took the post.
    m_bus.connect(QString(), Path, Service, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString, QDBusMessage)));
    m_bus.connect(QString(), Path, Service, QStringLiteral("ActivationToken"), this,
                  SLOT(activationToken(uint, QString, QDBusMessage)));
    m_bus.connect(QString(), Path, Service, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint, QDBusMessage)));
}

ReminderNotifications::~ReminderNotifications()
{
    // The program ends. A notification whose post has not been answered yet
    // would outlive it, so its answer is awaited a moment and it is closed.
    // The answer comes in the bus's own thread, not through this one's events.
    for (const auto& posting : m_open) {
        if (posting->gone || !posting->notify)
            continue;
        const QDeadlineTimer deadline(2000);
        while (!posting->notify->isFinished() && !deadline.hasExpired())
            QThread::msleep(5);
        const QDBusPendingReply<uint> id = *posting->notify;
        if (posting->id == 0 && id.isFinished() && !id.isError())
            posting->id = id.value();
        withdraw(*posting);
    }
    // QtDBus writes in a thread of its own, which the end of the program may
    // stop before it wrote a closing. The bus answers in order, so its answer
    // to a ping means every closing before it has gone out.
    if (m_closed)
        m_bus.call(QDBusMessage::createMethodCall(
                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                       QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")),
                   QDBus::Block, 2000);
}

int ReminderNotifications::ShowReminder(const QString& heading, const QString& name,
                                        const QString& description)
{
    std::shared_ptr<Posting> posting;
    if (m_bus.isConnected() && (!m_enabled || m_enabled()))
        posting = post(name, description.isEmpty() ? heading : heading + QLatin1Char('\n') + description);
    m_posting = posting;
    const int result = m_dialog.ShowReminder(heading, name, description);
    if (posting)
        withdraw(*posting);
    if (m_posting == posting)
        m_posting.reset();
    return result;
}

std::shared_ptr<ReminderNotifications::Posting> ReminderNotifications::post(const QString& summary,
                                                                            const QString& body)
{
    auto posting = std::make_shared<Posting>();
    std::erase_if(m_open, [](const auto& p) { return p->gone; });
    m_open.push_back(posting);
    // Asked afresh each time: another server may have taken the name since the last reminder.
    OnReply(this, m_bus.asyncCall(Call(QStringLiteral("GetCapabilities"))),
            [=, this](const QDBusPendingCall& call) {
                const QDBusPendingReply<QStringList> capabilities = call;
                if (capabilities.isError() || posting->answered) {
                    posting->gone = true;
                    return;
                }
                posting->notify = m_bus.asyncCall(NotifyCall(summary, body, capabilities.value()));
                OnReply(this, *posting->notify, [=, this](const QDBusPendingCall& call) {
                    const QDBusPendingReply<uint> id = call;
                    if (id.isError()) {
                        posting->gone = true;
                        return;
                    }
                    posting->id = id.value();
                    posting->server = id.reply().service();
                    // Answered while the post was on its way.
                    if (posting->answered)
                        withdraw(*posting);
                });
            });
    return posting;
}

void ReminderNotifications::withdraw(Posting& posting)
{
    posting.answered = true;
    if (posting.id == 0 || posting.gone)
        return;
    posting.gone = true;
    m_closed = true;
    m_bus.send(Call(QStringLiteral("CloseNotification")) << posting.id);
}

ReminderNotifications::Posting* ReminderNotifications::current(uint id, const QDBusMessage& message) const
{
    Posting* posting = m_posting.get();
    if (!posting || posting->answered || posting->id == 0 || posting->id != id ||
        posting->server != message.service())
        return nullptr;
    return posting;
}

void ReminderNotifications::actionInvoked(uint id, const QString& action, const QDBusMessage& message)
{
    Posting* posting = current(id, message);
    if (!posting)
        return;
    if (action == LaterAction)
        m_dialog.AnswerReminder(dw::mrYes);
    else if (action == IgnoreAction)
        m_dialog.AnswerReminder(dw::mrIgnore);
    else if (action == DefaultAction)
        m_dialog.BringReminderToFront(std::exchange(posting->token, QString()));
}

void ReminderNotifications::activationToken(uint id, const QString& token, const QDBusMessage& message)
{
    // It comes just before the action it belongs to.
    if (Posting* posting = current(id, message))
        posting->token = token;
}

void ReminderNotifications::notificationClosed(uint id, uint, const QDBusMessage& message)
{
    // Dismissed at the server: the dialog stays, and there is nothing left to withdraw.
    if (Posting* posting = current(id, message))
        posting->gone = true;
}
