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

} // namespace pictures
