#pragma once

#include "reminder/ReminderDialog.h"

#include <QDialog>

// The reminder dialog "Terminerinnerung". (First version: answers cancel.)
class TTerminForm : public QDialog, public IReminderDialog
{
    Q_OBJECT
public:
    explicit TTerminForm(QWidget* parent = nullptr);
    int ShowReminder(const QString& heading, const QString& name, const QString& description) override;
    void CancelReminder() override;
};
