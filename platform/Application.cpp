#include "platform/Application.h"

#include "platform/MessageBox.h"
#include "platform/ProgramNames.h"
#include "translations/Translations.h"

#include <QFont>

namespace dw {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Set once for all: the window manager's WM_CLASS, the tray host and the task
    // bar find the desktop entry and its icon by these. No display name: it would
    // be appended to every window title.
    setApplicationName(QString::fromLatin1(ProgramId));
    setOrganizationName(QString::fromLatin1(OrganizationName));
    setOrganizationDomain(QString::fromLatin1(OrganizationDomain));
    setDesktopFileName(QString::fromLatin1(ProgramId));
    InstallFontSubstitutions();
    // Hiding the main window must not end the program.
    setQuitOnLastWindowClosed(false);
    InstallTranslations(*this, true);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    }
    return false;
}

void InstallFontSubstitutions()
{
    // The windows are laid out for "MS Sans Serif" at 11 pixels; Liberation Sans
    // has Arial's metrics and so keeps every text in its place.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Black"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Narrow"),
                               {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
}

QFont FormFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

} // namespace dw
