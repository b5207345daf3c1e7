#pragma once

#include <QPalette>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class QWidget;

// Stand-ins for the visual-style services and the classic drawing calls the
// themed button paints with. The "visual style" is the application's QStyle:
// a themed push-button face is its push-button bevel.
namespace dw {

struct ThemeData;
using HTHEME = ThemeData*;

constexpr int BP_PUSHBUTTON = 1;
enum PushButtonState : int
{
    PBS_NORMAL = 1,
    PBS_HOT = 2,
    PBS_PRESSED = 3,
    PBS_DISABLED = 4,
    PBS_DEFAULTED = 5,
};

constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONPUSH = 0x10;
constexpr unsigned DFCS_INACTIVE = 0x100;
constexpr unsigned DFCS_PUSHED = 0x200;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;

// Called once per button creation: loads the library on first use and counts
// the users. A library that could not be loaded stays unavailable for the run.
bool LoadThemeLibrary();
int ThemeLibraryUseCount();
// Loaded, and IsAppThemed, and then IsThemeActive.
bool ThemesAvailable();

bool IsAppThemed();
bool IsThemeActive();
// Null for a class list other than "BUTTON" or while visual styles are off.
HTHEME OpenThemeData(QWidget* window, const QString& classList);
void CloseThemeData(HTHEME theme);
// Draws the push-button face in one of four looks: pressed, disabled, active
// (PBS_NORMAL, PBS_DEFAULTED) and every other state number. A null handle draws nothing.
void DrawThemeBackground(HTHEME theme, QPainter& painter, int partId, int stateId, const QRect& rect,
                         const QRect* clip);

// The classic three-dimensional push-button frame, filled with the button face.
// With DFCS_ADJUSTRECT, rect is narrowed to the inside of the frame.
void DrawFrameControl(QPainter& painter, QRect& rect, unsigned type, unsigned state, const QPalette& palette);
// A dotted rectangle that inverts every other pixel of its outline, so a second
// call removes it again.
void DrawFocusRect(QPainter& painter, const QRect& rect);

// Test seam: what the system would answer from now on. Visual styles may be
// switched on and off while buttons live; whether the library loads is asked
// once, until ForgetThemeLibrary.
struct ThemeEnvironment
{
    bool libraryLoadable = true;
    bool appThemed = true;
    bool themeActive = true;
};
void SetThemeEnvironment(const ThemeEnvironment& environment);
ThemeEnvironment CurrentThemeEnvironment();
void ForgetThemeLibrary();

// Test seam: sees every DrawThemeBackground call that reaches a handle.
using ThemeDrawObserver = std::function<void(int partId, int stateId, const QRect& rect)>;
void SetThemeDrawObserver(ThemeDrawObserver observer);

} // namespace dw
