#pragma once

#include <QCoreApplication>

namespace dw {

// Installs the texts of the user's language (plain/Language.h) into app. Under
// English: the program's own translation, compiled into the program, and Qt's
// texts stay Qt's English. Under German the program's texts are its own, and
// withQtTexts loads Qt's German (message-box buttons, edit fields' context
// menus) where it is installed.
void InstallTranslations(QCoreApplication& app, bool withQtTexts);

} // namespace dw
