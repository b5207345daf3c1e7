#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

// A tiny bitmap font of our own, so that no picture depends on installed fonts.
// Letters are 5 pixels wide and 7 high (lower case may reach 2 below the line),
// digits 3 by 5. Each pixel is drawn as a `scale` × `scale` square.
namespace pictures {

// Width in font pixels of the text, letters one pixel apart.
int TextWidth(const QString& text);
void DrawText(QPainter& painter, int x, int y, const QString& text, const QColor& colour, int scale);

// Digits 3 × 5, for calendar numbers.
int DigitsWidth(const QString& digits);
void DrawDigits(QPainter& painter, int x, int y, const QString& digits, const QColor& colour, int scale);

} // namespace pictures
