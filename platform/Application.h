#pragma once

#include "platform/MessageBox.h"

#include <QApplication>
#include <QFont>

#include <exception>

namespace dw {

// The application object. An exception that leaves an event handler is shown in
// the standard error box and the rest of that handler is dropped; the program goes on.
class TApplication : public QApplication
{
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// "MS Sans Serif", "Arial Black" and "Arial Narrow" are asked for by name; these
// say which installed fonts stand in for them.
void InstallFontSubstitutions();
// The windows' font: "MS Sans Serif" at 11 pixels.
QFont FormFont();

} // namespace dw
