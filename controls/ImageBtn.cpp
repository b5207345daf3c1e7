#include "controls/ImageBtn.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionFocusRect>

namespace {

// Screen readers see a button with a press action, named by its word.
class ImageBtnAccessible : public QAccessibleWidget
{
public:
    explicit ImageBtnAccessible(TImageBtn* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override
    {
        const auto* button = static_cast<const TImageBtn*>(widget());
        if (kind == QAccessible::Name && button->accessibleName().isEmpty())
            return QString(button->caption()).remove(QLatin1Char('&'));
        return QAccessibleWidget::text(kind);
    }
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
    setFocusPolicy(Qt::TabFocus);
}

void TImageBtn::setPicture(const QPixmap& picture)
{
    showPicture(picture);
}

void TImageBtn::setAutoSize(bool value)
{
    m_autoSize = value;
    if (value && !m_picture.isNull())
        resize(m_picture.deviceIndependentSize().toSize());
}

void TImageBtn::setCaption(const QString& caption)
{
    m_caption = caption;
    if (m_mnemonic)
        releaseShortcut(m_mnemonic);
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    m_mnemonic = mnemonic.isEmpty() ? 0 : grabShortcut(mnemonic);
    update();
}

void TImageBtn::setCaptionRect(const QRect& rect)
{
    m_captionRect = rect;
    update();
}

void TImageBtn::Click()
{
    ShowFirst();
    emit clicked();
}

bool TImageBtn::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == m_mnemonic) {
        setFocus(Qt::ShortcutFocusReason);
        Click();
        return true;
    }
    return QLabel::event(event);
}

void TImageBtn::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    if (!m_caption.isEmpty()) {
        // Drawn here rather than into the picture, so it is as sharp as any text of the screen.
        QFont bold = font();
        bold.setBold(true);
        bold.setPixelSize(15);
        painter.setFont(bold);
        const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        const QRect at = m_captionRect.isEmpty() ? rect() : m_captionRect;
        const QPoint shift = m_swapped ? QPoint(1, 1) : QPoint(0, 0);
        painter.setPen(QColor(0, 0, 0, 110));
        painter.drawText(at.translated(shift + QPoint(1, 1)), flags, m_caption);
        painter.setPen(Qt::white);
        painter.drawText(at.translated(shift), flags, m_caption);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TImageBtn::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = true;
        ShowSecond();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        Click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TImageBtn::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && m_spaceHeld) {
        m_spaceHeld = false;
        Click();
        return;
    }
    QLabel::keyReleaseEvent(event);
}

void TImageBtn::focusOutEvent(QFocusEvent* event)
{
    // Space held while the focus leaves clicks nothing.
    if (m_spaceHeld) {
        m_spaceHeld = false;
        ShowFirst();
    }
    QLabel::focusOutEvent(event);
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
        resize(picture.deviceIndependentSize().toSize());
}
