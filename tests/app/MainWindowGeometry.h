#pragma once

#include "XSession.h"

#include <QPoint>
#include <QRect>

namespace dwtest {

// Where a control of the main window sits inside the window, measured on a copy
// of the same window laid out here; a null point if there is no such control.
QPoint ControlInMainWindow(const char* objectName);
// Where it lies in the main window; with editPages, as it lies while an
// appointment is selected and the edit pages are shown.
QRect ControlRectInMainWindow(const char* objectName, bool editPages = false);
// The client area's top-left corner of a window on the screen.
QPoint ClientAreaOrigin(const XSession& x, qulonglong window);

} // namespace dwtest
