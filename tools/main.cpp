// Writes every picture of the program into the folder named on the command line.
#include "tools/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures <folder>\n");
        return 2;
    }
    // Painting needs no window, so the offscreen platform keeps this runnable anywhere.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "make_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        for (const pictures::PictureFile& picture : pictures::AllPictures()) {
            QSaveFile file(folder.filePath(picture.name));
            if (!file.open(QIODevice::WriteOnly) || file.write(picture.bytes) != picture.bytes.size() ||
                !file.commit()) {
                std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(file.fileName()));
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_pictures: %s\n", error.what());
        return 1;
    }
    return 0;
}
