#pragma once

#include <QString>

// What the check pass needs of the reminder dialog: show one due appointment
// modally and answer with a modal result (2 cancel, 5 ignore, 6 yes).
class IReminderDialog
{
public:
    virtual ~IReminderDialog() = default;
    virtual int ShowReminder(const QString& heading, const QString& name, const QString& description) = 0;
    // Ends an open reminder with the cancel result (the program is ending); nothing when none is open.
    virtual void CancelReminder() = 0;
    // Ends an open reminder with result, as its button would (answered elsewhere,
    // in a notification); nothing when none is open.
    virtual void AnswerReminder(int result) { (void)result; }
    // Brings an open reminder to the front. The desktop's activation token, when
    // it sent one, lets a Wayland window take the focus.
    virtual void BringReminderToFront(const QString& activationToken) { (void)activationToken; }
};
