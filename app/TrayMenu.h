#pragma once

#include <QMenu>

// The pop-up menu of the notification-area icon, with its pictures.
class TTrayMenu : public QMenu
{
    Q_OBJECT
public:
    explicit TTrayMenu(QWidget* parent = nullptr);

    // The first item says what choosing it will do to the main window.
    void ShowWindowState(bool windowVisible);

    QAction* Anzeigen1;
    QAction* KeineAktion1;
    QAction* ZurNorvexHomepage1;
    QAction* berdasProgramm1;
    QAction* Beenden2;
};
