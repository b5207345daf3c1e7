#include "controls/Pictures.h"

#include <QBitmap>
#include <QImage>

QPixmap Picture(const char* file)
{
    return QPixmap(QStringLiteral(":/pictures/") + QLatin1String(file));
}

QPixmap ImageListPicture(const char* file)
{
    QPixmap picture = Picture(file);
    if (picture.isNull() || picture.hasAlphaChannel())
        return picture;
    const QImage image = picture.toImage();
    const QRgb transparent = image.pixel(0, image.height() - 1);
    picture.setMask(QBitmap::fromImage(image.createMaskFromColor(transparent, Qt::MaskOutColor)));
    return picture;
}
