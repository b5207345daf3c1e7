#include "controls/ImageBtn.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

// Screen readers see a button with a press action, not a static picture.
class ImageBtnAccessible : public QAccessibleWidget
{
public:
    explicit ImageBtnAccessible(TImageBtn* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<TImageBtn*>(widget())->Click();
    }
};

QAccessibleInterface* ImageBtnAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TImageBtn") && object && object->isWidgetType())
        return new ImageBtnAccessible(static_cast<TImageBtn*>(object));
    return nullptr;
}

} // namespace

TImageBtn::TImageBtn(QWidget* parent) : QLabel(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(ImageBtnAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::NoFocus);
}

void TImageBtn::setPicture(const QPixmap& picture)
{
    showPicture(picture);
}

void TImageBtn::setAutoSize(bool value)
{
    m_autoSize = value;
    if (value && !m_picture.isNull())
        resize(m_picture.size());
}

void TImageBtn::Click()
{
    ShowFirst();
    emit clicked();
}

void TImageBtn::mousePressEvent(QMouseEvent* event)
{
    ShowSecond();
    m_mouseHeld = true;
    QLabel::mousePressEvent(event);
}

void TImageBtn::mouseMoveEvent(QMouseEvent* event)
{
    if (m_mouseHeld) {
        const QPoint at = event->position().toPoint();
        if (at.x() < 0 || at.x() >= width() || at.y() < 0 || at.y() >= height())
            ShowFirst();
        else
            ShowSecond();
    }
    QLabel::mouseMoveEvent(event);
}

void TImageBtn::mouseReleaseEvent(QMouseEvent* event)
{
    // The click comes before the mouse-up handling, so its handler (which may
    // open a modal dialog) already sees the first picture.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
    ShowFirst();
    m_mouseHeld = false;
    QLabel::mouseReleaseEvent(event);
}

void TImageBtn::ShowFirst()
{
    if (!m_swapped)
        return;
    showPicture(m_savedPicture);
    m_swapped = false;
}

void TImageBtn::ShowSecond()
{
    if (m_swapped)
        return;
    m_swapped = true;
    m_savedPicture = m_picture;
    showPicture(m_picture2);
}

void TImageBtn::showPicture(const QPixmap& picture)
{
    m_picture = picture;
    setPixmap(picture);
    if (m_autoSize && !picture.isNull())
        resize(picture.size());
}
