#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Every picture of the program, by file name, as the bytes of its file.
namespace pictures {

struct PictureFile
{
    QString name;
    QByteArray bytes;
};

std::vector<PictureFile> ListPictures();  // tree, tab and menu pictures, home-page globe
std::vector<PictureFile> ButtonGlyphs();  // kind glyphs and two-state button glyphs
std::vector<PictureFile> LargePictures(); // icon, settings column, bottom-bar buttons, about picture

std::vector<PictureFile> AllPictures();

// The name of a picture's version at twice its size, as Qt looks for it: "x@2x.bmp" beside "x.bmp".
QString TwiceName(const QString& name);

} // namespace pictures
