#include "controls/BitBtnXP.h"

TBitBtnXP::TBitBtnXP(QWidget* parent) : QPushButton(parent)
{
}
