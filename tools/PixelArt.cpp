#include "tools/PixelArt.h"

#include <QPainter>

#include <stdexcept>

namespace pictures {

QRgb ArtColour(char c, QRgb background)
{
    switch (c) {
    case '.':
        return background;
    case 'k':
        return qRgb(0, 0, 0);
    case 'R':
        return qRgb(128, 0, 0);
    case 'G':
        return qRgb(0, 128, 0);
    case 'Y':
        return qRgb(128, 128, 0);
    case 'B':
        return qRgb(0, 0, 128);
    case 'M':
        return qRgb(128, 0, 128);
    case 'C':
        return qRgb(0, 128, 128);
    case 'S':
        return qRgb(128, 128, 128);
    case 's':
        return qRgb(192, 192, 192);
    case 'r':
        return qRgb(255, 0, 0);
    case 'g':
        return qRgb(0, 255, 0);
    case 'y':
        return qRgb(255, 255, 0);
    case 'b':
        return qRgb(0, 0, 255);
    case 'm':
        return qRgb(255, 0, 255);
    case 'c':
        return qRgb(0, 255, 255);
    case 'w':
        return qRgb(255, 255, 255);
    // Shades beyond the sixteen classic colours.
    case 'o':
        return qRgb(255, 150, 20);
    case 'n':
        return qRgb(150, 95, 40);
    case 'l':
        return qRgb(170, 205, 255);
    case 'e':
        return qRgb(232, 232, 232);
    case 'q':
        return qRgb(255, 250, 225);
    case 'p':
        return qRgb(255, 150, 150);
    case 'd':
        return qRgb(70, 70, 70);
    case 'u':
        return qRgb(60, 120, 220);
    default:
        throw std::invalid_argument(std::string("unknown colour character ") + c);
    }
}

QImage FromArt(const QStringList& rows, QRgb background)
{
    const int height = int(rows.size());
    const int width = height > 0 ? int(rows[0].size()) : 0;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        if (rows[y].size() != width)
            throw std::invalid_argument("rows of unequal length: " + rows[y].toStdString());
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, ArtColour(rows[y][x].toLatin1(), background));
    }
    return image;
}

QImage DisabledCell(const QImage& cell)
{
    const int w = cell.width();
    const int h = cell.height();
    auto inShape = [&cell, w, h](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && cell.pixel(x, y) != Olive;
    };
    // Strokes and the rim of larger areas turn gray, and so does the darker
    // side of every colour border inside; broad flat areas turn into the face.
    auto nearOutside = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (!inShape(x + dx, y + dy))
                    return true;
        return false;
    };
    auto engraved = [&](int x, int y) {
        if (!inShape(x, y))
            return false;
        if (nearOutside(x, y))
            return true;
        const QRgb colour = cell.pixel(x, y);
        const int neighbours[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& d : neighbours) {
            const QRgb other = cell.pixel(x + d[0], y + d[1]);
            if (other != colour && qGray(other) >= qGray(colour))
                return true;
        }
        return false;
    };
    QImage out(cell.size(), QImage::Format_ARGB32);
    out.fill(Olive);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (engraved(x, y) && x + 1 < w && y + 1 < h)
                out.setPixel(x + 1, y + 1, qRgb(255, 255, 255));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (engraved(x, y))
                out.setPixel(x, y, qRgb(128, 128, 128));
    return out;
}

QImage TwoCells(const QImage& cell)
{
    QImage out(cell.width() * 2, cell.height(), QImage::Format_ARGB32);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, cell);
    painter.drawImage(cell.width(), 0, DisabledCell(cell));
    return out;
}

} // namespace pictures
