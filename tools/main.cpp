// Writes every picture of the program into the folder named on the command line;
// with --icons, the desktop icons for installing instead.
#include "platform/ProgramNames.h"
#include "tools/AppIcon.h"
#include "tools/Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    const bool icons = argc == 3 && qstrcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: make_pictures [--icons] <folder>\n");
        return 2;
    }
    // Painting needs no window, so the offscreen platform keeps this runnable anywhere.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[argc - 1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "make_pictures: cannot create %s\n", argv[argc - 1]);
        return 1;
    }
    try {
        const auto all =
            icons ? pictures::ThemeIcons(QString::fromLatin1(dw::ProgramId)) : pictures::AllPictures();
        for (const pictures::PictureFile& picture : all) {
            QSaveFile file(folder.filePath(picture.name));
            QDir().mkpath(QFileInfo(file.fileName()).path());
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
