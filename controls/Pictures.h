#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The pictures of the resources (":/pictures/<file>"). Each has a version at
// twice its size ("<name>@2x.<ext>"), which is taken where the screens are at
// scale 1.5 or more; it carries its device pixel ratio, so it takes the same
// room and shows every pixel of it.

// The resource path of the picture for the screens' scale.
QString PicturePath(const QString& file);
// The picture for the screens' scale; null when it is missing.
QPixmap Picture(const char* file);
QImage PictureImage(const QString& file);

// A picture as an image list shows it: without an alpha channel of its own, the
// colour of its bottom-left pixel is transparent.
QPixmap ImageListPicture(const char* file);

// An icon of the picture at its size and at twice its size, so that each screen
// gets the one for its scale.
QIcon PictureIcon(const char* file);
