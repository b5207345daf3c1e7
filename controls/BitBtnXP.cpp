#include "controls/BitBtnXP.h"

#include <QDialog>

TBitBtnXP::TBitBtnXP(QWidget* parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &TBitBtnXP::Click);
}

void TBitBtnXP::setKind(TBitBtnXPKind kind)
{
    m_kind = kind;
}

void TBitBtnXP::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    setIcon(QIcon(glyph.copy(0, 0, glyph.height(), glyph.height())));
}

void TBitBtnXP::setNumGlyphs(int value)
{
    m_numGlyphs = qBound(1, value, 4);
}

void TBitBtnXP::Click()
{
    // A modal result closes the dialog the button sits on.
    if (m_modalResult == 0)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window()))
        dialog->done(m_modalResult);
}
