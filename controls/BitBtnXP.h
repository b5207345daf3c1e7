#pragma once

#include "controls/ButtonGlyph.h"
#include "platform/Theme.h"

#include <QPixmap>
#include <QPointer>
#include <QPushButton>

// The push button of every window: a glyph beside the caption, one of the
// predefined kinds, a face drawn by the visual style when one is active, and
// no hover look.
//
// Default and Cancel are this button's own roles. Qt moves its own default flag
// between the buttons of a dialog as the focus moves, so isDefault() and
// setDefault() here hide QPushButton's and keep the role steady; Qt is told
// of every change so that Enter still reaches the right button.
class TBitBtnXP : public QPushButton
{
    Q_OBJECT
public:
    enum TBitBtnXPKind : quint8
    {
        bkCustom,
        bkOK,
        bkCancel,
        bkHelp,
        bkYes,
        bkNo,
        bkClose,
        bkAbort,
        bkRetry,
        bkIgnore,
        bkAll
    };
    Q_ENUM(TBitBtnXPKind)
    enum TButtonStyle : quint8
    {
        bsAutoDetect,
        bsWin31,
        bsNew
    };
    Q_ENUM(TButtonStyle)

    Q_PROPERTY(TBitBtnXPKind Kind READ kind WRITE setKind)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(TButtonLayout Layout READ buttonLayout WRITE setLayout)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(TButtonStyle Style READ buttonStyle WRITE setStyle)
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(bool default READ isDefault WRITE setDefault)
    Q_PROPERTY(bool Cancel READ isCancel WRITE setCancel)
    Q_PROPERTY(int ModalResult READ modalResult WRITE setModalResult)

    explicit TBitBtnXP(QWidget* parent = nullptr);
    ~TBitBtnXP() override;

    // Falls back to bkCustom once a role, the modal result or the glyph no
    // longer matches the kind.
    TBitBtnXPKind kind() const;
    // A caption set before the button is first shown survives a kind set after
    // it, the way a form description keeps its own caption.
    void setKind(TBitBtnXPKind kind);
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    bool isDefault() const { return m_default; }
    void setDefault(bool value);
    bool isCancel() const { return m_cancel; }
    void setCancel(bool value) { m_cancel = value; }

    QPixmap glyph() const { return QPixmap::fromImage(m_buttonGlyph.Source()); }
    void setGlyph(const QPixmap& glyph);
    void setGlyph(const QImage& glyph);
    // Sets Glyph from ":/pictures/<fileName>"; a missing picture leaves the glyph empty.
    void loadGlyphResource(const QString& fileName);
    int numGlyphs() const { return m_buttonGlyph.NumGlyphs(); }
    // Values above 4 become 4.
    void setNumGlyphs(int value);

    using QWidget::setLayout;
    using QWidget::setStyle;
    TButtonLayout buttonLayout() const { return m_layout; }
    void setLayout(TButtonLayout layout);
    int margin() const { return m_margin; }
    // -1 centres glyph and caption as one block; values below -1 are ignored.
    void setMargin(int margin);
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    TButtonStyle buttonStyle() const { return m_style; }
    void setStyle(TButtonStyle style);

    bool IsActive() const { return m_isActive; }
    TButtonGlyph& ButtonGlyph() { return m_buttonGlyph; }

    static QString KindCaption(TBitBtnXPKind kind);
    static int KindModalResult(TBitBtnXPKind kind);
    // The kind's shared picture, loaded on first use; empty when missing.
    static const QImage& KindGlyph(TBitBtnXPKind kind);

    // Whether a form description writes the property: the kind's own values are
    // left out. (Qt 6 no longer takes a function for STORED, so the rule is asked here.)
    bool isStored(const QByteArray& property) const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void PaintButton(QPainter& painter, unsigned itemState);

private:
    void Click();
    void FocusChanged(QWidget* old, QWidget* now);
    void UpdateActive(QWidget* focus);
    void WatchDialog(QWidget* window);
    bool DialogHasCancelButton(QWidget* dialog) const;
    unsigned TextFlags() const;

    TButtonGlyph m_buttonGlyph;
    dw::HTHEME m_themeHandle = nullptr;
    TButtonStyle m_style = bsAutoDetect;
    mutable TBitBtnXPKind m_kind = bkCustom;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 4;
    int m_margin = -1;
    bool m_isActive = false;
    bool m_customGlyph = false;
    bool m_default = false;
    bool m_cancel = false;
    int m_modalResult = 0;
    QPointer<QWidget> m_watchedDialog;
    QMetaObject::Connection m_focusConnection;
};
