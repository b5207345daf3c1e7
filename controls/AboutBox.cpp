#include "controls/AboutBox.h"

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Info"));
}
