#include "tools/Sketch.h"
#include "tools/Sketches.h"

namespace pictures {
namespace {

QColor Ink(char c)
{
    return Sketch::Ink(c);
}

// Light from the top left, as the pixel art shades its pictures.
QLinearGradient Shade(double top, double bottom, const QColor& light, const QColor& dark)
{
    QLinearGradient shade(0, top, 0, bottom);
    shade.setColorAt(0, light);
    shade.setColorAt(1, dark);
    return shade;
}

} // namespace

QImage TreeArrowSketch(int scale)
{
    Sketch s(16, 16, scale);
    const QPolygonF arrow{{1.5, 5.5},  {8.5, 5.5},  {8.5, 2.3}, {14.2, 8},
                          {8.5, 13.7}, {8.5, 11.5}, {1.5, 11.5}};
    s.polygon(arrow, Shade(5, 12, Ink('r').lighter(140), Ink('r').darker(130)), Ink('k'));
    return s.finish();
}

QImage TreePapersSketch(int scale)
{
    Sketch s(16, 16, scale);
    s.rect({6, 1, 9, 11}, Ink('q'), Ink('k'), 0.8);
    s.rect({4, 3, 9, 11}, Ink('q'), Ink('k'), 0.8);
    s.rect({2, 5, 9, 11}, Ink('w'), Ink('k'), 0.8);
    for (const auto& [y, end] : {std::pair{7.5, 8.5}, {9.5, 7.5}, {11.5, 8.5}, {13.5, 6.5}})
        s.line({4.3, y}, {end + 0.3, y}, Ink('S'), 0.9, Qt::RoundCap);
    return s.finish();
}

QImage TreeYearSketch(int scale)
{
    Sketch s(16, 16, scale);
    s.rect({2, 2, 13, 13}, Ink('S'), {}, 1.4);
    s.rect({1, 1, 13, 13}, Ink('w'), Ink('k'), 1.2);
    s.rect({1.6, 1.6, 11.8, 2.6}, Shade(2, 4, Ink('r'), Ink('R')), {}, 0.7);
    s.line({1, 4.5}, {14, 4.5}, Ink('k'));
    s.ellipse({7.6, 7.6, 2.8, 2.8}, Ink('y'));
    for (double at : {4.5, 7.5, 10.5})
        s.line({at, 5}, {at, 13}, Ink('s'));
    for (double at : {7.5, 10.5})
        s.line({2, at}, {13, at}, Ink('s'));
    return s.finish();
}

QImage TreeMonthSketch(int scale)
{
    Sketch s(16, 16, scale);
    s.rect({3, 2, 12, 14}, Ink('S'), {}, 1.2);
    s.rect({2, 1, 12, 14}, Ink('w'), Ink('k'), 1.0);
    s.rect({3, 2, 10, 2}, Ink('R'));
    s.ellipse({3.7, 2.7, 1.6, 1.6}, Ink('w'));
    s.ellipse({10.7, 2.7, 1.6, 1.6}, Ink('w'));
    s.line({2, 4.5}, {14, 4.5}, Ink('k'));
    // The day's number, a one.
    s.polyline({{5.6, 8.4}, {7.8, 6.4}, {7.8, 12.2}}, Ink('k'), 1.6, Qt::FlatCap);
    s.line({5.8, 12.5}, {10.2, 12.5}, Ink('k'));
    return s.finish();
}

QImage TreeDaySketch(int scale)
{
    Sketch s(16, 16, scale);
    s.line({4.6, 13.4}, {2.4, 15.6}, Ink('k'), 1.2, Qt::RoundCap);
    s.line({11.4, 13.4}, {13.6, 15.6}, Ink('k'), 1.2, Qt::RoundCap);
    s.ellipse({0.3, 1.3, 4.6, 3.6}, Ink('y'), Ink('k'));
    s.ellipse({11.1, 1.3, 4.6, 3.6}, Ink('y'), Ink('k'));
    s.ellipse({2.2, 3.3, 11.6, 11.4}, Shade(3, 15, Ink('r'), Ink('R')), Ink('k'));
    s.ellipse({4, 5, 8, 8}, Ink('w'));
    s.line({8, 9}, {8, 5.9}, Ink('k'), 1.1, Qt::RoundCap);
    s.line({8, 9}, {10.4, 9}, Ink('k'), 1.1, Qt::RoundCap);
    return s.finish();
}

QImage TabTermineSketch(int scale)
{
    Sketch s(16, 16, scale);
    s.rect({2, 1, 12, 14}, Ink('n'), Ink('k'), 1.2);
    s.rect({4, 4, 8, 9}, Ink('w'));
    for (const auto& [y, end] : {std::pair{5.5, 9.0}, {7.5, 11.0}, {9.5, 10.0}, {11.5, 9.0}})
        s.line({5.3, y}, {end - 0.3, y}, Ink('B'), 0.9, Qt::RoundCap);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(4.5, 0.5, 7, 2.5), 1, 1);
    s.path(clip, Shade(0, 3, Ink('w'), Ink('s')), Ink('k'));
    return s.finish();
}

QImage MenuShowSketch(int scale)
{
    Sketch s(16, 16, scale);
    s.rect({2, 3, 14, 12}, Ink('S'), {}, 1.2);
    s.rect({1, 2, 14, 12}, Ink('e'), Ink('k'), 1.0);
    s.rect({1.6, 2.6, 12.8, 2.6}, Shade(3, 5, Ink('l'), Ink('u')), {}, 0.6);
    s.ellipse({11.4, 3.1, 1.8, 1.8}, Ink('w'));
    s.line({1, 5.5}, {15, 5.5}, Ink('k'));
    s.rect({3, 7, 10, 5}, Ink('w'), {}, 0.5);
    return s.finish();
}

} // namespace pictures
