#pragma once

#include <QDialog>

// The about dialog "Info". (First version: an empty dialog.)
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);
};
