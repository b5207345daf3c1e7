#include "platform/Termination.h"

#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace dw {

namespace {
int g_pipe[2] = {-1, -1};
int g_owners = 0;

void OnSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: wake the event loop.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

void Drain()
{
    char buffer[16];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
    }
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}
} // namespace

void InstallTerminationHandler(QObject* owner, std::function<void()> onTerminate)
{
    if (g_pipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
            return;
        ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
        ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    }
    // A signal meant for an owner that is gone is not this one's.
    Drain();
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onTerminate](QSocketDescriptor) {
        Drain();
        onTerminate();
    });
    QObject::connect(notifier, &QObject::destroyed, [] {
        if (--g_owners == 0)
            SetHandler(SIG_DFL);
    });
    ++g_owners;
    SetHandler(OnSignal);
}

} // namespace dw
