#include "app/TrayMenu.h"

#include "platform/Application.h"

#include <QIcon>

namespace {
// ImageList2, in menu order.
QIcon MenuPicture(const char* name)
{
    return QIcon(QStringLiteral(":/pictures/%1.bmp").arg(QLatin1String(name)));
}
} // namespace

TTrayMenu::TTrayMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupMenu2"));
    setFont(dw::FormFont());
    Anzeigen1 = addAction(MenuPicture("menu_show"), QStringLiteral("Anzeigen"));
    Anzeigen1->setObjectName(QStringLiteral("Anzeigen1"));
    addSeparator()->setObjectName(QStringLiteral("N5"));
    KeineAktion1 = addAction(MenuPicture("menu_noaction"), QStringLiteral("Keine Aktion"));
    KeineAktion1->setObjectName(QStringLiteral("KeineAktion1"));
    addSeparator()->setObjectName(QStringLiteral("N3"));
    ZurNorvexHomepage1 = addAction(MenuPicture("menu_www"), QStringLiteral("Zur Norvex Homepage..."));
    ZurNorvexHomepage1->setObjectName(QStringLiteral("ZurNorvexHomepage1"));
    berdasProgramm1 = addAction(MenuPicture("menu_about"), QStringLiteral("Über das Programm..."));
    berdasProgramm1->setObjectName(QStringLiteral("berdasProgramm1"));
    addSeparator()->setObjectName(QStringLiteral("N4"));
    Beenden2 = addAction(MenuPicture("menu_exit"), QStringLiteral("Beenden"));
    Beenden2->setObjectName(QStringLiteral("Beenden2"));
}
