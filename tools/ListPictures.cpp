#include "tools/PictureWriters.h"
#include "tools/Pictures.h"
#include "tools/PixelArt.h"
#include "tools/Sketches.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace pictures {
namespace {

constexpr QRgb Clear = 0x00000000;

QImage Art(const QStringList& rows)
{
    return FromArt(rows, Clear);
}

QImage Canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage TreeArrow()
{
    return Art({
        "................",
        "................",
        "........k.......",
        "........kk......",
        "........kpk.....",
        ".kkkkkkkkrpk....",
        ".kppppppprrpk...",
        ".krrrrrrrrrrrk..",
        ".krrrrrrrrrrRk..",
        ".krrrrrrrrrRk...",
        ".kRRRRRRRrRk....",
        ".kkkkkkkkRk.....",
        "........kk......",
        "........k.......",
        "................",
        "................",
    });
}

QImage TreePapers()
{
    return Art({
        "................",
        "......kkkkkkkkk.",
        "......kqqqqqqqk.",
        "....kkkkkkkkkqk.",
        "....kqqqqqqqkqk.",
        "..kkkkkkkkkqkqk.",
        "..kwwwwwwwkqkqk.",
        "..kwSSSSSwkqkqk.",
        "..kwwwwwwwkqkqk.",
        "..kwSSSSwwkqkqk.",
        "..kwwwwwwwkqkqk.",
        "..kwSSSSSwkqkkk.",
        "..kwwwwwwwkqk...",
        "..kwSSSwwwkkk...",
        "..kwwwwwwwk.....",
        "..kkkkkkkkk.....",
    });
}

QImage TreeYear()
{
    return Art({
        "................",
        ".kkkkkkkkkkkkk..",
        ".krrrrrrrrrrrkS.",
        ".krrrrrrrrrrrkS.",
        ".kkkkkkkkkkkkkS.",
        ".kwwswwswwswwkS.",
        ".kwwswwswwswwkS.",
        ".kssssssssssskS.",
        ".kwwswwsyyswwkS.",
        ".kwwswwsyyswwkS.",
        ".kssssssssssskS.",
        ".kwwswwswwswwkS.",
        ".kwwswwswwswwkS.",
        ".kkkkkkkkkkkkkS.",
        "..SSSSSSSSSSSSS.",
        "................",
    });
}

QImage TreeMonth()
{
    return Art({
        "................",
        "..kkkkkkkkkkkk..",
        "..kRRRRRRRRRRk..",
        "..kRwRRRRRRwRk..",
        "..kkkkkkkkkkkkS.",
        "..kwwwwwwwwwwkS.",
        "..kwwwwkkwwwwkS.",
        "..kwwwkkkwwwwkS.",
        "..kwwkwkkwwwwkS.",
        "..kwwwwkkwwwwkS.",
        "..kwwwwkkwwwwkS.",
        "..kwwwwkkwwwwkS.",
        "..kwwwkkkkwwwkS.",
        "..kwwwwwwwwwwkS.",
        "..kkkkkkkkkkkkS.",
        "...SSSSSSSSSSSS.",
    });
}

QImage TreeDay()
{
    return Art({
        "................",
        ".kkk........kkk.",
        "kyyyk......kyyyk",
        "kyyk.kkkkkk.kyyk",
        ".kk.krrrrrrk.kk.",
        "...krwwwwwwrk...",
        "..krwwwkwwwwrk..",
        "..krwwwkwwwwrk..",
        "..krwwwkwwwwrk..",
        "..krwwwkkkwwrk..",
        "..krwwwwwwwwrk..",
        "..krwwwwwwwwrk..",
        "...krwwwwwwrk...",
        "....krrrrrrk....",
        "...k.kkkkkk.k...",
        "..k..........k..",
    });
}

QImage TabTermine()
{
    return Art({
        "......kkkk......",
        "..kkkksssskkkk..",
        "..knkssssssknk..",
        "..knkkkkkkkknk..",
        "..knwwwwwwwwnk..",
        "..knwBBBBwwwnk..",
        "..knwwwwwwwwnk..",
        "..knwBBBBBBwnk..",
        "..knwwwwwwwwnk..",
        "..knwBBBBBwwnk..",
        "..knwwwwwwwwnk..",
        "..knwBBBBwwwnk..",
        "..knwwwwwwwwnk..",
        "..knnnnnnnnnnk..",
        "..kkkkkkkkkkkk..",
        "................",
    });
}

// A cog wheel: `teeth` teeth around a ring with a hole.
QImage Gear(int size, const QColor& face, const QColor& edge)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double c = size / 2.0;
    const double outer = size * 0.47;
    const double inner = size * 0.34;
    const int teeth = 8;
    QPainterPath wheel;
    for (int i = 0; i < teeth * 4; ++i) {
        const double angle = (i - 0.5) * std::numbers::pi / (teeth * 2);
        const double r = (i % 4 < 2) ? outer : inner;
        const QPointF p(c + r * std::cos(angle), c + r * std::sin(angle));
        if (i == 0)
            wheel.moveTo(p);
        else
            wheel.lineTo(p);
    }
    wheel.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(c, c), size * 0.14, size * 0.14);
    painter.setPen(QPen(edge, size / 16.0));
    QLinearGradient shade(0, 0, size, size);
    shade.setColorAt(0, face.lighter(130));
    shade.setColorAt(1, face.darker(130));
    painter.setBrush(shade);
    painter.drawPath(wheel.subtracted(hole));
    return image;
}

// A globe in blue with a light grid of meridians and parallels.
QImage Globe(int size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double m = size / 16.0;
    const QRectF ball(0.75 * m, 0.75 * m, size - 1.5 * m, size - 1.5 * m);
    QRadialGradient sea(ball.center() - QPointF(ball.width() * 0.2, ball.height() * 0.2),
                        ball.width() * 0.75);
    sea.setColorAt(0, QColor(140, 200, 255));
    sea.setColorAt(1, QColor(20, 70, 170));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sea);
    painter.drawEllipse(ball);
    // Two land masses, kept simple so they read at 16 pixels.
    painter.setBrush(QColor(60, 160, 60));
    QPainterPath land;
    land.moveTo(ball.left() + ball.width() * 0.22, ball.top() + ball.height() * 0.25);
    land.cubicTo(ball.left() + ball.width() * 0.45, ball.top() + ball.height() * 0.12,
                 ball.left() + ball.width() * 0.55, ball.top() + ball.height() * 0.40,
                 ball.left() + ball.width() * 0.40, ball.top() + ball.height() * 0.55);
    land.cubicTo(ball.left() + ball.width() * 0.30, ball.top() + ball.height() * 0.70,
                 ball.left() + ball.width() * 0.12, ball.top() + ball.height() * 0.45,
                 ball.left() + ball.width() * 0.22, ball.top() + ball.height() * 0.25);
    land.moveTo(ball.left() + ball.width() * 0.62, ball.top() + ball.height() * 0.55);
    land.cubicTo(ball.left() + ball.width() * 0.85, ball.top() + ball.height() * 0.50,
                 ball.left() + ball.width() * 0.85, ball.top() + ball.height() * 0.80,
                 ball.left() + ball.width() * 0.65, ball.top() + ball.height() * 0.88);
    land.cubicTo(ball.left() + ball.width() * 0.55, ball.top() + ball.height() * 0.75,
                 ball.left() + ball.width() * 0.50, ball.top() + ball.height() * 0.60,
                 ball.left() + ball.width() * 0.62, ball.top() + ball.height() * 0.55);
    QPainterPath clip;
    clip.addEllipse(ball);
    painter.drawPath(land.intersected(clip));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 150), 0.6 * m));
    painter.drawEllipse(ball.adjusted(ball.width() * 0.28, 0, -ball.width() * 0.28, 0));
    painter.drawLine(QPointF(ball.center().x(), ball.top()), QPointF(ball.center().x(), ball.bottom()));
    painter.drawLine(QPointF(ball.left(), ball.center().y()), QPointF(ball.right(), ball.center().y()));
    painter.setPen(QPen(QColor(10, 40, 110), 0.8 * m));
    painter.drawEllipse(ball);
    return image;
}

QImage MenuShow()
{
    return Art({
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kuuuuuuuuuwwwk.",
        ".kuuuuuuuuuwwwk.",
        ".kkkkkkkkkkkkkkS",
        ".keeeeeeeeeeeekS",
        ".kewwwwwwwwwwekS",
        ".kewwwwwwwwwwekS",
        ".kewwwwwwwwwwekS",
        ".kewwwwwwwwwwekS",
        ".kewwwwwwwwwwekS",
        ".keeeeeeeeeeeekS",
        ".kkkkkkkkkkkkkkS",
        "..SSSSSSSSSSSSSS",
        "................",
    });
}

// A gray ring with a dash: nothing happens.
QImage MenuNoAction(int scale)
{
    QImage image = Canvas(16 * scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setPen(QPen(QColor(110, 110, 110), 1.6));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawEllipse(QRectF(1.8, 1.8, 12.4, 12.4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(110, 110, 110));
    painter.drawRect(QRectF(4.5, 7, 7, 2));
    return image;
}

// A blue disc with a white "i".
QImage InfoDisc(int size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double m = size / 16.0;
    QRadialGradient blue(QPointF(5.5 * m, 5 * m), 10 * m);
    blue.setColorAt(0, QColor(110, 170, 255));
    blue.setColorAt(1, QColor(20, 70, 180));
    painter.setPen(QPen(QColor(10, 40, 120), 0.8 * m));
    painter.setBrush(blue);
    painter.drawEllipse(QRectF(0.9 * m, 0.9 * m, 14.2 * m, 14.2 * m));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(7 * m, 3 * m, 2 * m, 2 * m));
    painter.drawRect(QRectF(7 * m, 6.5 * m, 2 * m, 6.5 * m));
    painter.drawRect(QRectF(6 * m, 6.5 * m, 1 * m, 1 * m));
    painter.drawRect(QRectF(6 * m, 12 * m, 4 * m, 1 * m));
    return image;
}

// A red disc with the white power sign: the program ends.
QImage MenuExit(int scale)
{
    QImage image = Canvas(16 * scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    QRadialGradient red(QPointF(5.5, 5), 10);
    red.setColorAt(0, QColor(255, 120, 100));
    red.setColorAt(1, QColor(180, 20, 10));
    painter.setPen(QPen(QColor(110, 10, 0), 0.8));
    painter.setBrush(red);
    painter.drawEllipse(QRectF(0.9, 0.9, 14.2, 14.2));
    QPen white(Qt::white, 1.7, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(white);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(4.3, 4.6, 7.4, 7.4), 120 * 16, 300 * 16);
    painter.drawLine(QPointF(8, 3.4), QPointF(8, 8));
    return image;
}

} // namespace

std::vector<PictureFile> ListPictures()
{
    const QColor gearFace(150, 150, 160), gearEdge(50, 50, 60);
    // Each picture at its size and, for screens at scale 2, at twice its size.
    const struct
    {
        const char* name;
        QImage once;
        QImage twice;
    } pictures[] = {
        {"tree_arrow.bmp", TreeArrow(), TreeArrowSketch(2)},
        {"tree_papers.bmp", TreePapers(), TreePapersSketch(2)},
        {"tree_year.bmp", TreeYear(), TreeYearSketch(2)},
        {"tree_month.bmp", TreeMonth(), TreeMonthSketch(2)},
        {"tree_day.bmp", TreeDay(), TreeDaySketch(2)},
        {"tab_termine.bmp", TabTermine(), TabTermineSketch(2)},
        {"tab_einstellungen.bmp", Gear(16, gearFace, gearEdge), Gear(32, gearFace, gearEdge)},
        {"menu_show.bmp", MenuShow(), MenuShowSketch(2)},
        {"menu_noaction.bmp", MenuNoAction(1), MenuNoAction(2)},
        {"menu_www.bmp", Globe(16), Globe(32)},
        {"menu_about.bmp", InfoDisc(16), InfoDisc(32)},
        {"menu_exit.bmp", MenuExit(1), MenuExit(2)},
        {"www.bmp", Globe(24), Globe(48)},
    };
    std::vector<PictureFile> files;
    for (const auto& picture : pictures) {
        files.push_back({QString::fromLatin1(picture.name), WriteBmp32(picture.once)});
        files.push_back({TwiceName(picture.name), WriteBmp32(picture.twice)});
    }
    return files;
}

} // namespace pictures
