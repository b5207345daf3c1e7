#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

// Digits of our own, so that no picture depends on installed fonts: 3 by 5
// font pixels, each drawn as a `scale` × `scale` square, or smoothly as strokes
// through the same pixels for pictures drawn larger.
namespace pictures {

// Width in font pixels, digits one pixel apart.
int DigitsWidth(const QString& digits);
void DrawDigits(QPainter& painter, int x, int y, const QString& digits, const QColor& colour, int scale);
void DrawSmoothDigits(QPainter& painter, int x, int y, const QString& digits, const QColor& colour,
                      int scale);

} // namespace pictures
