#pragma once

#include <QLabel>
#include <QPixmap>

// A button made of two pictures: it shows `Picture` normally and `Picture2`
// while a mouse button is held down on it, and reports a click. It takes no
// keyboard focus and has no hover or disabled look of its own; its actions
// are reachable from the tray menu as well.
class TImageBtn : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture)
    Q_PROPERTY(QPixmap Picture2 READ picture2 WRITE setPicture2)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
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

    bool swapped() const { return m_swapped; }
    bool mouseHeld() const { return m_mouseHeld; }

    // The click as the mouse gives it: first picture back, then `clicked`.
    void Click();

signals:
    void clicked();

protected:
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
    bool m_mouseHeld = false;
    bool m_swapped = false;
    bool m_autoSize = true;
};
