#pragma once

#include "instance/FolderLock.h"
#include "instance/InstanceChannel.h"

#include <QString>

#include <functional>
#include <optional>

// One running copy per data folder. The copy that holds the folder's lock is the
// running one and answers on the folder's channel; a later start on the same
// folder asks it to show its main window and ends without touching the data.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& dataFolder);

    // Nothing when this start is to run (the lock is ours, the channel open);
    // otherwise the exit code it ends with: 0 when the running copy showed its
    // window, 1 after telling the user why it could not be reached. A copy that
    // holds the lock only for a moment (an import from the command line) is waited for.
    std::optional<int> claimOrHandOver(int patienceMs = 3000);

    // Takes the folder's lock only, also over from a copy that died. A short job
    // (an import from the command line) holds it this way: later starts wait for it.
    bool lockFolder();
    // Takes the lock and opens the channel: this is the running copy now.
    bool claim();
    InstanceServer& server() { return m_server; }
    QString serverName() const;
    // The launcher's token for raising a window, handed to the running copy with "show".
    void setLaunchToken(const QString& token) { m_launchToken = token; }

private:
    QString m_dataFolder;
    FolderLock m_lock;
    InstanceServer m_server;
    QString m_launchToken;
};

// {"cmd":"show"} or {"cmd":"show","token":"..."}: the running copy shows its main
// window, raised with the launcher's token of the later start where there is one.
void ServeShowCommand(InstanceServer& server, std::function<void(const QString& token)> showMainWindow);
void ServeShowCommand(InstanceServer& server, std::function<void()> showMainWindow);

// On stderr, and in an error box when the program has a screen.
void ReportInstanceFailure(const QString& text);
