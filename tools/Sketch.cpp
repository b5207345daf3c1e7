#include "tools/Sketch.h"

#include "tools/PixelArt.h"

#include <algorithm>

namespace pictures {

Sketch::Sketch(int width, int height, int scale)
    : m_image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.scale(scale, scale);
}

QColor Sketch::Ink(char c)
{
    return QColor::fromRgb(ArtColour(c, 0));
}

void Sketch::paint(const QBrush& fill, const QColor& outline)
{
    m_painter.setBrush(fill);
    m_painter.setPen(outline.isValid() ? QPen(outline, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                                       : QPen(Qt::NoPen));
}

Sketch& Sketch::rect(const QRectF& box, const QBrush& fill, const QColor& outline, double radius)
{
    paint(fill, outline);
    m_painter.drawRoundedRect(outline.isValid() ? box.adjusted(0.5, 0.5, -0.5, -0.5) : box, radius, radius);
    return *this;
}

Sketch& Sketch::ellipse(const QRectF& box, const QBrush& fill, const QColor& outline)
{
    paint(fill, outline);
    m_painter.drawEllipse(outline.isValid() ? box.adjusted(0.5, 0.5, -0.5, -0.5) : box);
    return *this;
}

Sketch& Sketch::polygon(const QPolygonF& points, const QBrush& fill, const QColor& outline)
{
    paint(fill, outline);
    m_painter.drawPolygon(points);
    return *this;
}

Sketch& Sketch::path(const QPainterPath& shape, const QBrush& fill, const QColor& outline)
{
    paint(fill, outline);
    m_painter.drawPath(shape);
    return *this;
}

Sketch& Sketch::line(const QPointF& from, const QPointF& to, const QColor& colour, double width,
                     Qt::PenCapStyle cap)
{
    m_painter.setPen(QPen(colour, width, Qt::SolidLine, cap));
    m_painter.drawLine(from, to);
    return *this;
}

Sketch& Sketch::polyline(const QPolygonF& points, const QColor& colour, double width, Qt::PenCapStyle cap)
{
    m_painter.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPolyline(points);
    return *this;
}

QImage Sketch::finish()
{
    m_painter.end();
    return m_image.convertToFormat(QImage::Format_ARGB32);
}

QImage SmoothDisabledCell(const QImage& cell, int scale)
{
    const QImage in = cell.convertToFormat(QImage::Format_ARGB32);
    const int w = in.width();
    const int h = in.height();
    auto alpha = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h ? qAlpha(in.pixel(x, y)) : 0;
    };
    // As on olive at scale 1: a rim two units wide turns gray, and so does the
    // darker side of a colour border; broad flat areas turn into the face.
    const int rim = 2 * scale;
    auto engraved = [&](int x, int y) {
        const int a = alpha(x, y);
        if (a == 0)
            return 0;
        for (int dy = -rim; dy <= rim; ++dy)
            for (int dx = -rim; dx <= rim; ++dx)
                if (alpha(x + dx, y + dy) < 128)
                    return a;
        const int gray = qGray(in.pixel(x, y));
        for (int d = 1; d <= scale; ++d)
            for (const auto& [dx, dy] : {std::pair{-d, 0}, {d, 0}, {0, -d}, {0, d}})
                if (qGray(in.pixel(x + dx, y + dy)) >= gray + 40)
                    return a;
        return 0;
    };
    QImage gray(w, h, QImage::Format_ARGB32);
    QImage white(w, h, QImage::Format_ARGB32);
    gray.fill(Qt::transparent);
    white.fill(Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (const int a = engraved(x, y)) {
                gray.setPixel(x, y, qRgba(128, 128, 128, a));
                if (x + scale < w && y + scale < h)
                    white.setPixel(x + scale, y + scale, qRgba(255, 255, 255, a));
            }
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.drawImage(0, 0, white);
    painter.drawImage(0, 0, gray);
    painter.end();
    return out.convertToFormat(QImage::Format_ARGB32);
}

QImage SmoothTwoCells(const QImage& cell, int scale)
{
    QImage out(cell.width() * 2, cell.height(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, cell);
    painter.drawImage(cell.width(), 0, SmoothDisabledCell(cell, scale));
    return out;
}

} // namespace pictures
