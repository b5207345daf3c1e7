#pragma once

#include <QLabel>
#include <QPixmap>

// A button made of two pictures: it shows `Picture` normally and `Picture2`
// while a mouse button or the space bar is held down on it, and reports a
// click. Its word (`Caption`, with a mnemonic) is written over the picture at
// the screen's scale, centred in `CaptionRect`. Tab reaches it; Space and Enter
// press it. It has no hover or disabled look of its own.
class TImageBtn : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture)
    Q_PROPERTY(QPixmap Picture2 READ picture2 WRITE setPicture2)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QRect CaptionRect READ captionRect WRITE setCaptionRect)
public:
    explicit TImageBtn(QWidget* parent = nullptr);

    // What the control shows at this moment.
    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);
    const QPixmap& picture2() const { return m_picture2; }
    // Does not touch what is on screen, even while pressed.
    void setPicture2(const QPixmap& picture) { m_picture2 = picture; }
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value);
    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QRect captionRect() const { return m_captionRect; }
    void setCaptionRect(const QRect& rect);

    bool swapped() const { return m_swapped; }
    bool mouseHeld() const { return m_mouseHeld; }

    // The click as the mouse gives it: first picture back, then `clicked`.
    void Click();

signals:
    void clicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowFirst();
    void ShowSecond();
    void showPicture(const QPixmap& picture);

    QPixmap m_picture;
    QPixmap m_picture2;
    QPixmap m_savedPicture;
    QString m_caption;
    QRect m_captionRect;
    int m_mnemonic = 0;
    bool m_mouseHeld = false;
    bool m_spaceHeld = false;
    bool m_swapped = false;
    bool m_autoSize = true;
};
