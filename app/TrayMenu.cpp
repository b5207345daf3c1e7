#include "app/TrayMenu.h"

#include "controls/Pictures.h"
#include "platform/Application.h"

#include <QIcon>

TTrayMenu::TTrayMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupMenu2"));
    setFont(dw::FormFont());
    // The pictures of ImageList2, in menu order.
    Anzeigen1 = addAction(PictureIcon("menu_show.bmp"), tr("Anzeigen"));
    Anzeigen1->setObjectName(QStringLiteral("Anzeigen1"));
    addSeparator()->setObjectName(QStringLiteral("N5"));
    KeineAktion1 = addAction(PictureIcon("menu_noaction.bmp"), tr("Keine Aktion"));
    KeineAktion1->setObjectName(QStringLiteral("KeineAktion1"));
    addSeparator()->setObjectName(QStringLiteral("N3"));
    ZurNorvexHomepage1 = addAction(PictureIcon("menu_www.bmp"), tr("Zur Norvex Homepage..."));
    ZurNorvexHomepage1->setObjectName(QStringLiteral("ZurNorvexHomepage1"));
    berdasProgramm1 = addAction(PictureIcon("menu_about.bmp"), tr("Über das Programm..."));
    berdasProgramm1->setObjectName(QStringLiteral("berdasProgramm1"));
    addSeparator()->setObjectName(QStringLiteral("N4"));
    Beenden2 = addAction(PictureIcon("menu_exit.bmp"), tr("Beenden"));
    Beenden2->setObjectName(QStringLiteral("Beenden2"));
}

void TTrayMenu::ShowWindowState(bool windowVisible)
{
    Anzeigen1->setText(windowVisible ? tr("Verbergen") : tr("Anzeigen"));
}
