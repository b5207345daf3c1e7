#pragma once

#include <QImage>

// The pictures kept as pixel art for scale 1, drawn from shapes at `scale`
// (twice their size for screens at scale 2), on a transparent ground.
namespace pictures {

// 16 × 16 units: the date tree, tab and menu pictures.
QImage TreeArrowSketch(int scale);
QImage TreePapersSketch(int scale);
QImage TreeYearSketch(int scale);
QImage TreeMonthSketch(int scale);
QImage TreeDaySketch(int scale);
QImage TabTermineSketch(int scale);
QImage MenuShowSketch(int scale);

// The button glyph cell of this file ("BBOKX.bmp", ...).
QImage GlyphSketch(const char* file, int scale);

} // namespace pictures
