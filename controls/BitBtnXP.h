#pragma once

#include <QPixmap>
#include <QPushButton>

// The push button of every window: a glyph beside the caption, one of the
// predefined kinds, drawn with the visual style when one is active.
// (First version: kind, modal result and glyph are kept; drawing is the plain push button's.)
class TBitBtnXP : public QPushButton
{
    Q_OBJECT
public:
    enum TBitBtnXPKind : quint8 { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
    Q_ENUM(TBitBtnXPKind)

    Q_PROPERTY(TBitBtnXPKind Kind READ kind WRITE setKind)
    Q_PROPERTY(int ModalResult READ modalResult WRITE setModalResult)

    explicit TBitBtnXP(QWidget* parent = nullptr);

    TBitBtnXPKind kind() const { return m_kind; }
    void setKind(TBitBtnXPKind kind);
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    const QPixmap& glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int value);

private:
    void Click();

    TBitBtnXPKind m_kind = bkCustom;
    int m_modalResult = 0;
    QPixmap m_glyph;
    int m_numGlyphs = 1;
};
