#pragma once

class QWidget;

namespace dw {

// Under Wayland, asks the compositor to activate a shown window with an
// xdg-activation token the program asks for itself. With no click of the user
// behind the token the compositor decides how far it goes: sway and KWin mark
// the window urgent (the bar and the task bar show it) where they do not give it
// the focus. The request is made once the window is mapped, as a compositor
// ignores one for a window it does not show yet. Nothing under X11, nor where
// the compositor has no xdg-activation; the program never waits for it.
void RequestAttention(QWidget* window);

} // namespace dw
