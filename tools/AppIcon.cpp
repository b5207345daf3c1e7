#include "tools/AppIcon.h"

#include <QBuffer>
#include <QPainter>

namespace pictures {
namespace {

// The icon is kept as a list of shapes on a 32-unit grid, so that one drawing
// gives the classic bitmap, smoothed pictures at any size and the SVG alike.
struct Shape
{
    enum Kind
    {
        Rect,
        Ellipse,
        Line
    } kind;
    QRect box;    // Rect, Ellipse
    QLine line;   // Line
    QColor pen;   // invalid: no outline
    QColor brush; // invalid: no filling
    bool background = false;
};

std::vector<Shape> IconShapes()
{
    const QColor black(0, 0, 0), white(255, 255, 255), red(255, 0, 0), maroon(128, 0, 0), gray(128, 128, 128),
        silver(192, 192, 192), yellow(255, 255, 0), navy(0, 0, 128), none;
    std::vector<Shape> s;
    auto rect = [&s](QRect r, QColor pen, QColor brush) { s.push_back({Shape::Rect, r, {}, pen, brush}); };
    auto ellipse = [&s](QPoint c, int r, QColor pen, QColor brush) {
        s.push_back({Shape::Ellipse, QRect(c.x() - r, c.y() - r, 2 * r, 2 * r), {}, pen, brush});
    };
    s.push_back({Shape::Rect, QRect(0, 0, 32, 32), {}, none, silver, true});
    // Calendar sheet.
    rect({1, 2, 26, 27}, black, white);
    rect({2, 3, 25, 5}, none, red);
    rect({2, 8, 25, 1}, none, maroon);
    for (int x = 5; x < 27; x += 6)
        rect({x, 0, 2, 5}, none, black);
    for (int y = 13; y < 29; y += 4)
        rect({2, y, 25, 1}, none, gray);
    for (int x = 6; x < 27; x += 5)
        rect({x, 9, 1, 20}, none, gray);
    rect({28, 4, 1, 26}, none, gray);
    rect({3, 30, 26, 1}, none, gray);
    // Alarm clock: bells, feet, case, face, hands, marks.
    ellipse({13, 11}, 3, black, yellow);
    ellipse({27, 11}, 3, black, yellow);
    s.push_back({Shape::Line, {}, QLine(14, 29, 12, 31), black, none});
    s.push_back({Shape::Line, {}, QLine(26, 29, 28, 31), black, none});
    ellipse({20, 20}, 10, black, red);
    ellipse({20, 20}, 7, maroon, white);
    rect({20, 14, 1, 7}, none, black);
    rect({20, 20, 5, 1}, none, black);
    for (QPoint mark : {QPoint(20, 14), QPoint(20, 26), QPoint(14, 20), QPoint(26, 20)})
        rect({mark, QSize(1, 1)}, none, navy);
    rect({19, 19, 3, 3}, none, red);
    return s;
}

void Draw(QPainter& p, const Shape& shape)
{
    p.setPen(shape.pen.isValid() ? QPen(shape.pen) : QPen(Qt::NoPen));
    p.setBrush(shape.brush.isValid() ? QBrush(shape.brush) : QBrush(Qt::NoBrush));
    switch (shape.kind) {
    case Shape::Rect:
        p.drawRect(shape.box);
        break;
    case Shape::Ellipse:
        p.drawEllipse(shape.box);
        break;
    case Shape::Line:
        p.drawLine(shape.line);
        break;
    }
}

// Unsmoothed outlines cover the pixels right of and below the line; smoothed
// ones and SVG strokes are centred on it, so they move by half a unit.
constexpr double OutlineShift = 0.5;

QImage Smoothed(int size, bool background = false)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    for (const Shape& shape : IconShapes()) {
        if (shape.background && !background)
            continue;
        p.save();
        if (shape.pen.isValid())
            p.translate(OutlineShift, OutlineShift);
        Draw(p, shape);
        p.restore();
    }
    return image;
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString SvgNumber(double value)
{
    return QString::number(value, 'g', 6);
}

QByteArray Svg()
{
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
                                 "viewBox=\"0 0 32 32\">\n");
    for (const Shape& shape : IconShapes()) {
        if (shape.background)
            continue;
        const double shift = shape.pen.isValid() ? OutlineShift : 0.0;
        const QString paint =
            QStringLiteral(" fill=\"%1\"")
                .arg(shape.brush.isValid() ? shape.brush.name() : QStringLiteral("none")) +
            (shape.pen.isValid()
                 ? QStringLiteral(" stroke=\"%1\" stroke-width=\"1\" stroke-linecap=\"square\"")
                       .arg(shape.pen.name())
                 : QString());
        const QRectF box = QRectF(shape.box).translated(shift, shift);
        switch (shape.kind) {
        case Shape::Rect:
            svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"%5/>\n")
                       .arg(SvgNumber(box.x()), SvgNumber(box.y()), SvgNumber(box.width()),
                            SvgNumber(box.height()), paint);
            break;
        case Shape::Ellipse:
            svg += QStringLiteral("  <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"%5/>\n")
                       .arg(SvgNumber(box.center().x()), SvgNumber(box.center().y()),
                            SvgNumber(box.width() / 2), SvgNumber(box.height() / 2), paint);
            break;
        case Shape::Line:
            svg += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"%5/>\n")
                       .arg(SvgNumber(shape.line.x1() + shift), SvgNumber(shape.line.y1() + shift),
                            SvgNumber(shape.line.x2() + shift), SvgNumber(shape.line.y2() + shift), paint);
            break;
        }
    }
    return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

} // namespace

QImage AppIcon()
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(QColor(255, 255, 255));
    QPainter p(&image);
    for (const Shape& shape : IconShapes())
        Draw(p, shape);
    return image;
}

QImage SmoothAppIcon(int scale)
{
    return Smoothed(32 * scale, true);
}

std::vector<PictureFile> ThemeIcons(const QString& name)
{
    std::vector<PictureFile> icons;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icons.push_back(
            {QStringLiteral("hicolor/%1x%1/apps/%2.png").arg(size).arg(name), Png(Smoothed(size))});
    icons.push_back({QStringLiteral("hicolor/scalable/apps/%1.svg").arg(name), Svg()});
    return icons;
}

} // namespace pictures
