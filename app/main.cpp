#include "app/ImportCommand.h"
#include "app/MainForm.h"
#include "app/SyncCommand.h"
#include "cli/CommandLine.h"
#include "instance/SingleInstance.h"
#include "messages/AllocationMessage.h"
#include "notify/ReminderNotifications.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/GuiMessageBox.h"
#include "platform/SleepWatcher.h"
#include "platform/WindowSystem.h"
#include "reminder/TerminForm.h"

int main(int argc, char** argv)
{
    dw::UseTestClockFromEnvironment();
    // Options run without a window and end.
    if (dw::cli::IsCommandLine(argc, argv))
        return dw::cli::RunCommandLine(argc, argv);
    // Before Qt's X11 plugin connects and takes it away.
    const QString launchToken = dw::LaunchActivationToken();
    dw::TApplication app(argc, argv);
    dw::InstallQtMessageBoxHandler();
    InstallAllocationMessage();

    // Settled before the main window exists: a second start never touches termine.dat.
    SingleInstance instance(dw::ResolveDataFolder());
    instance.setLaunchToken(launchToken);
    if (const std::optional<int> ended = instance.claimOrHandOver())
        return *ended;

    // SIGTERM, SIGINT and SIGHUP are taken from the start of FormCreate on.
    auto* MainForm = new TMainForm;
    auto* TerminForm = new TTerminForm;
    AppCore& core = MainForm->core();
    // Each reminder is mirrored by a desktop notification, unless the settings page turned that off.
    ReminderNotifications notifications(*TerminForm, SessionBusIfThere());
    notifications.setEnabled([&core] { return core.NotificationsOn(); });
    MainForm->setReminderDialog(&notifications);
    ServeShowCommand(instance.server(), [MainForm](const QString& token) { MainForm->ShowMainWindow(token); });
    instance.server().registerCommand(QStringLiteral("import"), [&core](const QJsonObject& request) {
        return HandleImportCommand(core, request);
    });
    ServeSyncCommand(instance.server(), MainForm->sync());
    // Reminders of what fell due while the machine slept come right after it wakes.
    dw::SleepWatcher sleepWatcher;
    QObject::connect(&sleepWatcher, &dw::SleepWatcher::woke, &core, &AppCore::Woke);
    // An end on a signal whose last save failed is told by the exit status.
    int status = 0;
    QObject::connect(&core, &AppCore::endSaveFailed, [&status] { status = 1; });

    // An end asked for during start-up must not be lost by entering the loop afresh.
    if (!core.Terminating())
        MainForm->show();
    const int result = core.Terminating() ? 0 : app.exec();

    delete TerminForm;
    delete MainForm;
    return result != 0 ? result : status;
}
