#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace dw {

// Under X11 a program places its own windows, brings back a window it minimised
// and opens a menu at any point of the screen. Under Wayland the compositor keeps
// all three: it places windows, a minimised window comes back only through it (a
// client never learns that it was minimised), and a menu opens only beside one of
// the program's own windows.
bool ProgramControlsWindows();
// Tests play a platform by its name ("wayland", "xcb"); empty gives the real one back.
void SetPlatformNameForTesting(const QString& name);

// The token a launcher gave this start for raising its window: XDG_ACTIVATION_TOKEN
// (Wayland), else DESKTOP_STARTUP_ID (X11). Read before the application object
// exists, as Qt's X11 plugin takes the latter away when it connects.
QString LaunchActivationToken();
// The token as another process handed it over, or empty when it cannot be one:
// tokens are short printable ASCII, and this one goes to the compositor.
QString UsableActivationToken(const QString& token);

// Activates a shown window. Qt's Wayland plugin takes XDG_ACTIVATION_TOKEN when it
// asks the compositor for the focus and clears it, so the token is set just before;
// under X11 the token is a startup id, and the launch it names is completed here.
void ActivateWindowWithToken(QWidget* window, const QString& token);

} // namespace dw
