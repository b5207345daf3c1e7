#include "reminder/TerminForm.h"

TTerminForm::TTerminForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Terminerinnerung"));
}

int TTerminForm::ShowReminder(const QString&, const QString&, const QString&)
{
    return 2;
}

void TTerminForm::CancelReminder()
{
    if (isVisible())
        done(2);
}
