#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QWidget>

namespace dw {

namespace {

QString& PlatformNameForTesting()
{
    static QString name;
    return name;
}

} // namespace

bool ProgramControlsWindows()
{
    const QString& played = PlatformNameForTesting();
    const QString name = played.isEmpty() ? QGuiApplication::platformName() : played;
    // "wayland", "wayland-egl" and the other variants of Qt's Wayland plugin.
    return !name.startsWith(QLatin1String("wayland"));
}

void SetPlatformNameForTesting(const QString& name)
{
    PlatformNameForTesting() = name;
}

QString LaunchActivationToken()
{
    const QString wayland = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return wayland.isEmpty() ? qEnvironmentVariable("DESKTOP_STARTUP_ID") : wayland;
}

QString UsableActivationToken(const QString& token)
{
    constexpr qsizetype Longest = 512;
    if (token.size() > Longest)
        return QString();
    for (QChar c : token)
        if (c.unicode() <= u' ' || c.unicode() > u'~')
            return QString();
    return token;
}

void ActivateWindowWithToken(QWidget* window, const QString& token)
{
    // Qt's X11 plugin reads DESKTOP_STARTUP_ID only when it connects; there the
    // window manager judges the activation by Qt's own time stamp.
    const bool handOver = !ProgramControlsWindows() && !token.isEmpty();
    if (handOver)
        qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    window->activateWindow();
    // Not left for a program the user starts from here, nor for the next activation.
    if (handOver)
        qunsetenv("XDG_ACTIVATION_TOKEN");
}

} // namespace dw
