#pragma once

#include <QImage>
#include <QRgb>
#include <QStringList>

// Small pictures written as rows of characters, one character a pixel.
namespace pictures {

// Olive: background and transparent colour of every button glyph.
inline constexpr QRgb Olive = 0xFF808000;

// The colour a character stands for; '.' is `background`. Lower case are the
// bright classic colours, upper case the dark ones; a few extra shades exist
// for pictures that are not limited to the sixteen colours.
QRgb ArtColour(char c, QRgb background);

// A picture of the rows (all of equal length); unknown characters throw.
QImage FromArt(const QStringList& rows, QRgb background);

// The classic disabled look of a glyph cell on olive: the shape engraved in
// gray with a white copy one pixel right and down behind it.
QImage DisabledCell(const QImage& cell);

// Normal and disabled cell side by side, as button glyphs carry them.
QImage TwoCells(const QImage& cell);

} // namespace pictures
