#include "controls/Pictures.h"

#include <QBitmap>
#include <QFile>
#include <QGuiApplication>

namespace {

QString ResourcePath(const QString& file)
{
    return QStringLiteral(":/pictures/") + file;
}

QString TwicePath(const QString& file)
{
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return ResourcePath(file.left(dot) + QStringLiteral("@2x") + file.mid(dot));
}

QPixmap WithImageListMask(QPixmap picture)
{
    if (picture.isNull() || picture.hasAlphaChannel())
        return picture;
    const QImage image = picture.toImage();
    const QRgb transparent = image.pixel(0, image.height() - 1);
    picture.setMask(QBitmap::fromImage(image.createMaskFromColor(transparent, Qt::MaskOutColor)));
    return picture;
}

} // namespace

// For the largest scale of the screens; Qt's reader takes the ratio from the "@2x" in the name.
QString PicturePath(const QString& file)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return qt_findAtNxFile(ResourcePath(file), ratio);
}

QPixmap Picture(const char* file)
{
    return QPixmap(PicturePath(QLatin1String(file)));
}

QImage PictureImage(const QString& file)
{
    return QImage(PicturePath(file));
}

QPixmap ImageListPicture(const char* file)
{
    return WithImageListMask(Picture(file));
}

QIcon PictureIcon(const char* file)
{
    QIcon icon;
    for (const QString& path : {ResourcePath(QLatin1String(file)), TwicePath(QLatin1String(file))})
        if (QFile::exists(path))
            icon.addPixmap(QPixmap(path));
    return icon;
}
