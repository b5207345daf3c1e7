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

// Button glyph cells: 18 × 18 units for the kinds (the double tick 18 × 19), 16 × 16 for the buttons.
QImage TickSketch(int scale);
QImage DoubleTickSketch(int scale);
QImage CrossSketch(int scale);
QImage HelpSketch(int scale);
QImage NoEntrySketch(int scale);
QImage DoorSketch(int scale);
QImage StopSketch(int scale);
QImage IgnoreSketch(int scale);
QImage AddAppointmentSketch(int scale);
QImage DeleteSketch(int scale);
QImage UpOneLevelSketch(int scale);
QImage MinimiseToTraySketch(int scale);
QImage SmallGlobeSketch(int scale);

} // namespace pictures
