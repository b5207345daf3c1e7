#pragma once

#include <QPushButton>

// The push button of every window. (First version: a plain push button.)
class TBitBtnXP : public QPushButton
{
    Q_OBJECT
public:
    explicit TBitBtnXP(QWidget* parent = nullptr);
};
