#include "tools/PictureWriters.h"
#include "tools/Pictures.h"
#include "tools/PixelArt.h"
#include "tools/Sketch.h"
#include "tools/Sketches.h"

#include <QPainter>
#include <QPainterPath>

#include <stdexcept>

namespace pictures {
namespace {

QImage Cell(const QStringList& rows)
{
    return FromArt(rows, Olive);
}

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Olive);
    return image;
}

// A tick of 2-pixel strokes whose short stroke starts at (x, y).
void StampTick(QImage& image, int x, int y, QRgb colour)
{
    auto dot = [&](int px, int py) {
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                if (image.rect().contains(px + dx, py + dy))
                    image.setPixel(px + dx, py + dy, colour);
    };
    for (int i = 0; i <= 3; ++i)
        dot(x + i, y + i);
    for (int j = 1; j <= 8; ++j)
        dot(x + 3 + j, y + 3 - j);
}

const QStringList TickArt{
    "..................", "..................", "..................", "..............G...",
    ".............GGG..", "............GGGG..", "...........GGGG...", "..........GGGG....",
    "...G.....GGGG.....", "..GGG...GGGG......", "..GGGG.GGGG.......", "...GGGGGGG........",
    "....GGGGG.........", ".....GGG..........", "......G...........", "..................",
    "..................", "..................",
};

QImage DoubleTick()
{
    QImage cell = Blank(18, 19);
    StampTick(cell, 5, 10, qRgb(0, 128, 0));
    StampTick(cell, 1, 8, qRgb(0, 128, 0));
    return cell;
}

const QStringList CrossArt{
    "..................", "..................", "..................", "...rR........rR...",
    "...rrR......rrR...", "....rrR....rrR....", ".....rrR..rrR.....", "......rrRrrR......",
    ".......rrrR.......", ".......rrrR.......", "......rrRrrR......", ".....rrR..rrR.....",
    "....rrR....rrR....", "...rrR......rrR...", "...rR........rR...", "..................",
    "..................", "..................",
};

const QStringList HelpArt{
    "..................", "..................", "......bbbbb.......", ".....bbbbbbb......",
    "....bbb...bbb.....", "....bbb...bbb.....", "..........bbb.....", ".........bbb......",
    "........bbb.......", ".......bbb........", ".......bbb........", ".......bbb........",
    "..................", ".......bbb........", ".......bbb........", "..................",
    "..................", "..................",
};

const QStringList NoEntryArt{
    "..................", "..................", "......RRRRRR......", "....RRrrrrrrRR....",
    "...RrrrrrrrrrrR...", "...RrrrrrrrrrrR...", "..RrrrrrrrrrrrrR..", "..RrrrrrrrrrrrrR..",
    "..RrrwwwwwwwwrrR..", "..RrrwwwwwwwwrrR..", "..RrrrrrrrrrrrrR..", "..RrrrrrrrrrrrrR..",
    "...RrrrrrrrrrrR...", "...RrrrrrrrrrrR...", "....RRrrrrrrRR....", "......RRRRRR......",
    "..................", "..................",
};

const QStringList DoorArt{
    "..................", "..................", "......kkkkkkkkk...", "......kRBBBBBBk...",
    "....kkRRBBBBBBk...", "..kkRRRRBBBBBBk...", "..kRRRRRBBBBBBk...", "..kRRRRRBBBBBBk...",
    "..kRRyRRBBBBBBk...", "..kRRyRRBBBBBBk...", "..kRRRRRBBBBBBk...", "..kRRRRRBBBBBBk...",
    "..kRRRRRBBBBBBk...", "..kkRRRRBBBBBBk...", "....kkRRBBBBBBk...", "......kkkkkkkkk...",
    "..................", "..................",
};

const QStringList StopArt{
    "..................", "..................", "......RRRRRR......", ".....RrrrrrrR.....",
    "....RrrrrrrrrR....", "...RrrrrrrrrrrR...", "..RrrrrrrrrrrrrR..", "..RrrrrrrrrrrrrR..",
    "..RrrwwwwwwwwrrR..", "..RrrwwwwwwwwrrR..", "..RrrrrrrrrrrrrR..", "..RrrrrrrrrrrrrR..",
    "...RrrrrrrrrrrR...", "....RrrrrrrrrR....", ".....RrrrrrrR.....", "......RRRRRR......",
    "..................", "..................",
};

// A circular arrow of `colour`; `counterClockwise` turns it the other way round.
// At scale 1 it is drawn crisp on olive, larger smoothly on a transparent ground.
QImage RoundArrow(int size, QRgb colour, bool counterClockwise, int scale = 1)
{
    QImage cell = Blank(size * scale, size * scale);
    if (scale > 1)
        cell.fill(Qt::transparent);
    {
        QPainter painter(&cell);
        painter.setRenderHint(QPainter::Antialiasing, scale > 1);
        painter.scale(scale, scale);
        const double c = size / 2.0;
        const double r = size * 0.30;
        painter.setPen(QPen(QColor(colour), 2.0, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(QRectF(c - r, c - r, 2 * r, 2 * r), 100 * 16, 260 * 16);
        // Arrowhead at the arc's start, pointing on round the circle.
        QPolygonF head;
        head << QPointF(c + 3.5, c - r) << QPointF(c - 1.5, c - r - 4.5) << QPointF(c - 1.5, c - r + 4.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(colour));
        painter.drawPolygon(head);
    }
    return counterClockwise ? cell.mirrored(true, false) : cell;
}

QImage Ignore()
{
    QImage cell = Cell({
        "..................",
        "..................",
        "........BBB.......",
        ".......BBBBB......",
        ".......BBBBB......",
        "........BBB.......",
        "......BBBBBBB.....",
        ".....BBBBBBBBB....",
        ".....BB.BBB.BB....",
        ".....BB.BBB.BB....",
        ".....BB.BBB.BB....",
        "........BBB.......",
        ".......BB.BB......",
        ".......BB.BB......",
        ".......BB.BB......",
        ".......BB.BB......",
        "..................",
        "..................",
    });
    for (int i = 0; i <= 12; ++i) {
        cell.setPixel(3 + i, 15 - i, qRgb(255, 0, 0));
        cell.setPixel(4 + i, 15 - i, qRgb(255, 0, 0));
    }
    return cell;
}

const QStringList AddAppointmentArt{
    "................", ".kkkkkkkkkkk....", ".krrrrrrrrrkS...", ".kkkkkkkkkkkS...",
    ".kwwwwwwwwwkS...", ".kwSwSwSwSwkS...", ".kwwwwwwwwwkS...", ".kwSwSwSwkkkkk..",
    ".kwwwwwwwkgggk..", ".kwwwwwkkkgggkkk", ".kwSwSwkgggggggk", ".kwwwwwkgggggggk",
    ".kwSwSwkgggggggk", ".kkkkkkkkkgggkkk", "..SSSSSSSkgggk..", ".........kkkkk..",
};

const QStringList DeleteArt{
    "................", "................", "..rR........rR..", "..rrR......rrR..",
    "...rrR....rrR...", "....rrR..rrR....", ".....rrRrrR.....", "......rrrR......",
    "......rrrR......", ".....rrRrrR.....", "....rrR..rrR....", "...rrR....rrR...",
    "..rrR......rrR..", "..rR........rR..", "................", "................",
};

const QStringList UpOneLevelArt{
    "................", "................", ".....k..........", "....kgk.........",
    "...kgggk........", "..kgggggk.......", ".kgggggggk......", ".kkkgggkkk......",
    "...kgggk........", "...kgggkkkkkkkk.", "...kggggggggggk.", "...kggggggggggk.",
    "...kggggggggggk.", "...kkkkkkkkkkkk.", "................", "................",
};

const QStringList MinimiseToTrayArt{
    "................", "......kkkk......", "......kbbk......", "......kbbk......",
    "......kbbk......", "......kbbk......", "...kkkkbbkkkk...", "....kbbbbbbk....",
    ".....kbbbbk.....", "......kbbk......", ".......kk.......", "................",
    ".kkkkkkkkkkkkkk.", ".ksssssssssyysk.", ".kkkkkkkkkkkkkk.", "................",
};

const QStringList SmallGlobeArt{
    "................", ".....kkkkkk.....", "...kkbbGGbbkk...", "..kbcbGGGbbbbk..",
    "..kcGGGGbbbbbk..", ".kbbGGGbbbbbbbk.", ".kbbbGGbbbbGGbk.", ".kbbbbGbbbGGGbk.",
    ".kbbbbbbbGGGGbk.", ".kbbbbbbbGGGbbk.", ".kbbbbbbbbGGbbk.", "..kbbbbbbbGbbk..",
    "..kbbbbbbbbbbk..", "...kkbbbbbbkk...", ".....kkkkkk.....", "................",
};

// The glyph's file at its size, in the classic sixteen colours on olive, and at
// twice its size, drawn smoothly on a transparent ground.
void Glyph(std::vector<PictureFile>& files, const char* name, const QImage& cell, const QImage& twice)
{
    const QImage both = TwoCells(cell);
    if (both.pixel(0, both.height() - 1) != Olive)
        throw std::logic_error(std::string(name) + ": the lower-left pixel must be olive");
    files.push_back({QString::fromLatin1(name), WriteBmp4(both, VgaPalette())});
    files.push_back({TwiceName(QString::fromLatin1(name)), WriteBmp32(SmoothTwoCells(twice, 2))});
}

} // namespace

std::vector<PictureFile> ButtonGlyphs()
{
    const QRgb green = qRgb(0, 128, 0), blue = qRgb(0, 0, 255);
    const struct
    {
        const char* file;
        QImage cell;
        QImage twice; // drawn from shapes where empty
    } glyphs[] = {
        {"BBOKX.bmp", Cell(TickArt), {}},
        {"BBCANCELX.bmp", Cell(CrossArt), {}},
        {"BBHELPX.bmp", Cell(HelpArt), {}},
        {"BBYESX.bmp", Cell(TickArt), {}},
        {"BBNOX.bmp", Cell(NoEntryArt), {}},
        {"BBCLOSEX.bmp", Cell(DoorArt), {}},
        {"BBABORTX.bmp", Cell(StopArt), {}},
        {"BBRETRYX.bmp", RoundArrow(18, green, false), RoundArrow(18, green, false, 2)},
        {"BBIGNOREX.bmp", Ignore(), {}},
        {"BBALLX.bmp", DoubleTick(), {}},
        {"btn_add.bmp", Cell(AddAppointmentArt), {}},
        {"btn_delete.bmp", Cell(DeleteArt), {}},
        {"btn_up.bmp", Cell(UpOneLevelArt), {}},
        {"btn_clearlast.bmp", RoundArrow(16, blue, true), RoundArrow(16, blue, true, 2)},
        {"btn_minimize.bmp", Cell(MinimiseToTrayArt), {}},
        {"about_www.bmp", Cell(SmallGlobeArt), {}},
    };
    std::vector<PictureFile> files;
    for (const auto& g : glyphs)
        Glyph(files, g.file, g.cell, g.twice.isNull() ? GlyphSketch(g.file, 2) : g.twice);
    return files;
}

} // namespace pictures
