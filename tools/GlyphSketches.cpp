#include "tools/Sketch.h"
#include "tools/Sketches.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace pictures {
namespace {

QColor Ink(char c)
{
    return Sketch::Ink(c);
}

// A tick whose short stroke starts at `at`, strokes `width` wide.
void Tick(Sketch& s, QPointF at, double width)
{
    s.polyline({at, at + QPointF(3.2, 3.2), at + QPointF(11.5, -5.1)}, Ink('G'), width);
}

// The diagonal strokes of a cross from `from` to `to`, with a darker edge below.
void Cross(Sketch& s, double from, double to)
{
    for (const auto& [colour, shift] : {std::pair{'R', 0.6}, {'r', 0.0}}) {
        s.line({from + shift, from}, {to + shift, to}, Ink(colour), 2.0, Qt::RoundCap);
        s.line({to + shift, from}, {from + shift, to}, Ink(colour), 2.0, Qt::RoundCap);
    }
}

void WhiteBar(Sketch& s, double left, double right)
{
    s.rect({left, 8, right - left, 2}, Ink('w'));
}

void DrawTick(Sketch& s)
{
    Tick(s, {2.8, 9.6}, 2.6);
}

void DrawDoubleTick(Sketch& s)
{
    Tick(s, {6, 11}, 2.0);
    Tick(s, {2, 9}, 2.0);
}

void DrawCross(Sketch& s)
{
    Cross(s, 4, 14);
}

void DrawHelp(Sketch& s)
{
    QPainterPath hook;
    hook.moveTo(5.6, 6);
    hook.cubicTo(5.6, 2.2, 12.4, 2.2, 12.4, 6);
    hook.cubicTo(12.4, 8.6, 8.6, 8.6, 8.6, 11.6);
    s.painter().setPen(QPen(Ink('b'), 2.8, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    s.painter().setBrush(Qt::NoBrush);
    s.painter().drawPath(hook);
    s.ellipse({7.1, 12.6, 3, 3}, Ink('b'));
}

void DrawNoEntry(Sketch& s)
{
    s.ellipse({2, 2, 14, 14}, Ink('r'), Ink('R'));
    WhiteBar(s, 5, 13);
}

void DrawDoor(Sketch& s)
{
    s.rect({6, 2, 9, 14}, Ink('B'), Ink('k'), 0.8);
    s.polygon({{2.5, 5.3}, {8.5, 2.5}, {8.5, 15.5}, {2.5, 12.7}}, Ink('R'), Ink('k'));
    s.ellipse({5, 7.8, 1.2, 2.4}, Ink('y'));
}

void DrawStop(Sketch& s)
{
    const double near = 2.5, cut = 6.3, far = 15.5, back = 11.7;
    s.polygon({{cut, near},
               {back, near},
               {far, cut},
               {far, back},
               {back, far},
               {cut, far},
               {near, back},
               {near, cut}},
              Ink('r'), Ink('R'));
    WhiteBar(s, 5, 13);
}

void DrawIgnore(Sketch& s)
{
    const QColor blue = Ink('B');
    s.ellipse({7.3, 1.8, 3.4, 3.4}, blue);
    QPainterPath body;
    body.addRoundedRect(QRectF(5, 6, 9, 2.2), 1, 1);
    body.addRoundedRect(QRectF(5, 6.5, 2, 4.5), 1, 1);
    body.addRoundedRect(QRectF(12, 6.5, 2, 4.5), 1, 1);
    body.addRect(QRectF(8, 7, 3, 5));
    body.addRoundedRect(QRectF(7, 11.5, 2, 4.5), 0.8, 0.8);
    body.addRoundedRect(QRectF(10, 11.5, 2, 4.5), 0.8, 0.8);
    s.path(body.simplified(), blue);
    // Struck through: not to be reminded any more.
    s.line({3.5, 15.8}, {16, 3.2}, Ink('r'), 2.0, Qt::RoundCap);
}

void DrawAddAppointment(Sketch& s)
{
    s.rect({2, 2, 11, 13}, Ink('S'), {}, 1.2);
    s.rect({1, 1, 11, 13}, Ink('w'), Ink('k'), 1.0);
    s.rect({1.6, 1.6, 9.8, 1.6}, Ink('r'), {}, 0.6);
    s.line({1, 3.5}, {12, 3.5}, Ink('k'));
    for (const QPointF& dot :
         {QPointF(3, 5), {5, 5}, {7, 5}, {9, 5}, {3, 7}, {5, 7}, {7, 7}, {3, 10}, {5, 10}, {3, 12}, {5, 12}})
        s.ellipse({dot - QPointF(0.1, 0.1), QSizeF(1.2, 1.2)}, Ink('S'));
    QPainterPath upright, across;
    upright.addRoundedRect(QRectF(9.5, 7.5, 4, 8), 0.8, 0.8);
    across.addRoundedRect(QRectF(7.5, 9.5, 8, 4), 0.8, 0.8);
    s.path(upright.united(across), Ink('g'), Ink('k'));
}

void DrawDelete(Sketch& s)
{
    Cross(s, 3, 13);
}

void DrawUpOneLevel(Sketch& s)
{
    s.polygon({{5.5, 2.2},
               {9.8, 7.5},
               {7.5, 7.5},
               {7.5, 9.5},
               {14.5, 9.5},
               {14.5, 13.5},
               {3.5, 13.5},
               {3.5, 7.5},
               {1.2, 7.5}},
              Ink('g'), Ink('k'));
}

void DrawMinimiseToTray(Sketch& s)
{
    s.polygon({{6.5, 1.5}, {9.5, 1.5}, {9.5, 6.5}, {12.5, 6.5}, {8, 11}, {3.5, 6.5}, {6.5, 6.5}}, Ink('b'),
              Ink('k'));
    s.rect({1, 12, 14, 3}, Ink('s'), Ink('k'), 1.0);
    s.ellipse({10.8, 12.9, 2.4, 1.2}, Ink('y'));
}

void DrawSmallGlobe(Sketch& s)
{
    s.ellipse({1, 1, 14, 14}, Ink('b'), Ink('k'));
    QPainterPath land;
    land.moveTo(4, 3.6);
    land.cubicTo(7, 2.4, 8.6, 5, 6.6, 7.2);
    land.cubicTo(5, 8.6, 3, 6.6, 4, 3.6);
    land.moveTo(10.4, 6);
    land.cubicTo(13.6, 5.4, 14.2, 9.2, 12, 11.6);
    land.cubicTo(10.4, 12.6, 9, 10, 10.4, 6);
    QPainterPath sea;
    sea.addEllipse(QRectF(2, 2, 12, 12));
    s.path(land.intersected(sea), Ink('G'));
    s.ellipse({3.4, 3, 2, 1.4}, Ink('c'));
}

// Each glyph file's drawing and its size in units: 18 × 18 for the kinds (the
// double tick 18 × 19), 16 × 16 for the buttons.
struct GlyphDrawing
{
    const char* file;
    int width;
    int height;
    void (*draw)(Sketch&);
};

const GlyphDrawing Drawings[] = {
    {"BBOKX.bmp", 18, 18, DrawTick},
    {"BBYESX.bmp", 18, 18, DrawTick},
    {"BBALLX.bmp", 18, 19, DrawDoubleTick},
    {"BBCANCELX.bmp", 18, 18, DrawCross},
    {"BBHELPX.bmp", 18, 18, DrawHelp},
    {"BBNOX.bmp", 18, 18, DrawNoEntry},
    {"BBCLOSEX.bmp", 18, 18, DrawDoor},
    {"BBABORTX.bmp", 18, 18, DrawStop},
    {"BBIGNOREX.bmp", 18, 18, DrawIgnore},
    {"btn_add.bmp", 16, 16, DrawAddAppointment},
    {"btn_delete.bmp", 16, 16, DrawDelete},
    {"btn_up.bmp", 16, 16, DrawUpOneLevel},
    {"btn_minimize.bmp", 16, 16, DrawMinimiseToTray},
    {"about_www.bmp", 16, 16, DrawSmallGlobe},
};

} // namespace

QImage GlyphSketch(const char* file, int scale)
{
    for (const GlyphDrawing& d : Drawings)
        if (std::strcmp(d.file, file) == 0) {
            Sketch s(d.width, d.height, scale);
            d.draw(s);
            return s.finish();
        }
    throw std::logic_error(std::string(file) + ": no drawing of this glyph");
}

} // namespace pictures
