#include "app/AllocationMessage.h"
#include "app/MainForm.h"
#include "platform/Application.h"
#include "platform/GuiMessageBox.h"
#include "platform/Termination.h"
#include "reminder/TerminForm.h"

int main(int argc, char** argv)
{
    dw::TApplication app(argc, argv);
    dw::InstallQtMessageBoxHandler();
    InstallAllocationMessage();

    auto* MainForm = new TMainForm;
    auto* TerminForm = new TTerminForm;
    MainForm->setReminderDialog(TerminForm);
    dw::InstallTerminationHandler([MainForm] { MainForm->Beenden2Click(); });

    MainForm->show();
    // An end asked for during the start-up check must not be lost by entering the loop afresh.
    const int result = MainForm->Terminating ? 0 : app.exec();

    delete TerminForm;
    delete MainForm;
    return result;
}
