#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

// Small pictures drawn from shapes on the grid of their pixels at scale 1, so
// that they can be drawn at any scale with smooth edges instead of doubled
// pixels. Coordinates are pixel edges: a box (1, 1, 3, 3) covers pixels 1 to 3.
namespace pictures {

class Sketch
{
public:
    // A transparent picture of width × height units at `scale` pixels a unit.
    Sketch(int width, int height, int scale);

    // The colour a character of the pixel art stands for.
    static QColor Ink(char c);

    // Filled shapes with an outline one unit wide inside their edge; a
    // default brush or colour leaves out the fill or the outline. Rounded
    // corners and round dots give a larger picture the finer edges a small one cannot have.
    Sketch& rect(const QRectF& box, const QBrush& fill, const QColor& outline = {}, double radius = 0.0);
    Sketch& ellipse(const QRectF& box, const QBrush& fill, const QColor& outline = {});
    // Outlines of polygons and paths lie on their edges, centred.
    Sketch& polygon(const QPolygonF& points, const QBrush& fill, const QColor& outline = {});
    Sketch& path(const QPainterPath& path, const QBrush& fill, const QColor& outline = {});
    Sketch& line(const QPointF& from, const QPointF& to, const QColor& colour, double width = 1.0,
                 Qt::PenCapStyle cap = Qt::FlatCap);
    Sketch& polyline(const QPolygonF& points, const QColor& colour, double width,
                     Qt::PenCapStyle cap = Qt::RoundCap);

    QPainter& painter() { return m_painter; }
    // Ends the drawing; call once.
    QImage finish();

private:
    void paint(const QBrush& fill, const QColor& outline);

    QImage m_image;
    QPainter m_painter;
};

// The disabled look of a smoothly drawn glyph cell at `scale`: its outer rim
// and the darker side of every colour border engraved in gray, with a white
// copy one unit right and down behind it, on a transparent ground.
QImage SmoothDisabledCell(const QImage& cell, int scale);

// Normal and disabled cell side by side, as button glyphs carry them.
QImage SmoothTwoCells(const QImage& cell, int scale);

} // namespace pictures
