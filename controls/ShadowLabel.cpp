#include "controls/ShadowLabel.h"

#include <QPainter>

ShadowLabel::ShadowLabel(QWidget* parent) : QLabel(parent)
{
}

QSize ShadowLabel::sizeHint() const
{
    return QLabel::sizeHint() + QSize(1, 1);
}

QSize ShadowLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint() + QSize(1, 1);
}

void ShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    const QRect r = contentsRect().adjusted(1, 1, 0, 0);
    const int flags = static_cast<int>(alignment()) | Qt::TextSingleLine;
    p.setPen(palette().color(QPalette::Light));
    p.drawText(r.translated(-1, -1), flags, text());
    p.setPen(palette().color(foregroundRole()));
    p.drawText(r, flags, text());
}
