#pragma once

#include "core/ReminderDialog.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TTerminForm;
}

// The reminder dialog "Terminerinnerung". One instance lives from start-up to the
// end, hidden between reminders; it keeps no logic of its own beyond showing the
// three texts and answering with the modal result of the button pressed.
class TTerminForm : public QDialog, public IReminderDialog
{
    Q_OBJECT
public:
    explicit TTerminForm(QWidget* parent = nullptr);
    ~TTerminForm() override;

    int ShowReminder(const QString& heading, const QString& name, const QString& description) override;
    void CancelReminder() override;
    void AnswerReminder(int result) override;
    void BringReminderToFront(const QString& activationToken) override;

public slots:
    // Esc, the close box and the system menu all answer "Alle abbrechen".
    void reject() override;

private:
    void PlaceForShowing();

    std::unique_ptr<Ui::TTerminForm> ui;
    bool m_placed = false;
};
