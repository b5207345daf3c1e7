#include "controls/ImageBtn.h"

#include <QMouseEvent>

TImageBtn::TImageBtn(QWidget* parent) : QLabel(parent)
{
}

void TImageBtn::setPicture(const QPixmap& picture)
{
    setPixmap(picture);
}

void TImageBtn::setPicture2(const QPixmap& picture)
{
    m_picture2 = picture;
}

void TImageBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
