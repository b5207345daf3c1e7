#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace dw {

// Button sets and icons as the message box service takes them.
enum MessageBoxFlags : unsigned
{
    MB_OK = 0x0,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    // Our own: "Nur diesen Termin" (mrYes), "Alle Termine der Serie" (mrAll), "Abbrechen".
    MB_SERIESCHOICE = 0xE,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

// Modal results: what a dialog or message box answers.
enum ModalResult : int
{
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// The caption a message box gets when the caller gives none.
QString DefaultMessageBoxCaption();

// Shows a modal message box and returns the modal result of the button pressed.
// An empty caption means the default caption. Callers need not know about
// widgets: the GUI installs the real box, tests a scripted one.
int MessageBoxA(const QString& text, const QString& caption, unsigned flags);

using MessageBoxHandler = std::function<int(const QString& text, const QString& caption, unsigned flags)>;
// Returns the previous handler. Without a handler the text goes to stderr and the answer is OK.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The application's title: task-bar text and caption of its error box.
inline constexpr const char* ApplicationTitle = "Datumswecker 1.0";

// The standard error box: the exception's text with a full stop added when it has
// none, under the application's title, with an error icon.
QString ErrorBoxText(const std::exception& error);
QString ErrorBoxText(QString text);
void ShowException(const std::exception& error);

} // namespace dw
