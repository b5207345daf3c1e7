#pragma once

#include "core/ReminderDialog.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDBusMessage;

// The desktop's session bus when there is one: its address in the environment,
// or the user's bus socket. Otherwise a connection that is not connected, for
// libdbus would start a bus of its own for the X display (autolaunch) that
// outlives the program.
QDBusConnection SessionBusIfThere();

// Mirrors each reminder dialog by a freedesktop notification: posted when the
// dialog opens, withdrawn however the dialog is answered. Its buttons answer
// the dialog as the dialog's own buttons would; its body brings the dialog to
// the front. It stands between the check pass and the dialog, and never makes
// the dialog wait for the bus: every call is asynchronous, and with no
// notification service (or no bus) the dialog is all there is.
class ReminderNotifications : public QObject, public IReminderDialog
{
    Q_OBJECT
public:
    ReminderNotifications(IReminderDialog& dialog, const QDBusConnection& bus, QObject* parent = nullptr);
    ~ReminderNotifications() override;

    // Asked as each dialog opens: whether to post a notification for it.
    void setEnabled(std::function<bool()> enabled) { m_enabled = std::move(enabled); }

    int ShowReminder(const QString& heading, const QString& name, const QString& description) override;
    void CancelReminder() override { m_dialog.CancelReminder(); }
    void AnswerReminder(int result) override { m_dialog.AnswerReminder(result); }
    void BringReminderToFront(const QString& activationToken) override
    {
        m_dialog.BringReminderToFront(activationToken);
    }

private slots:
    // QtDBus delivers signals of the bus to slots named by string only.
    void actionInvoked(uint id, const QString& action, const QDBusMessage& message);
    void activationToken(uint id, const QString& token, const QDBusMessage& message);
    void notificationClosed(uint id, uint reason, const QDBusMessage& message);

private:
    // The notification of one dialog, as far as the server has answered.
    struct Posting
    {
        uint id = 0;           // 0 until the server has answered the post
        QString server;        // the unique name that answered, the only one whose signals count
        QString token;         // the activation token sent with the last action
        bool answered = false; // the dialog has been answered
        bool gone = false;     // the server closed it, or it was never posted
        std::optional<QDBusPendingCall> notify; // the post, while its answer may be on its way
    };

    std::shared_ptr<Posting> post(const QString& summary, const QString& body);
    void withdraw(Posting& posting);
    // The open dialog's notification, when the signal is about it.
    Posting* current(uint id, const QDBusMessage& message) const;

    IReminderDialog& m_dialog;
    QDBusConnection m_bus;
    std::function<bool()> m_enabled;
    std::shared_ptr<Posting> m_posting;
    // Every posting not yet closed, for the program's end.
    std::vector<std::shared_ptr<Posting>> m_open;
    bool m_closed = false; // a closing was sent
};
