#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

// Writers for the file formats the program's pictures come in. Each returns the
// whole file; the bytes depend only on the pixels and the arguments.
namespace pictures {

// The sixteen colours of the classic Windows palette, in their usual order.
const QList<QRgb>& VgaPalette();

// Index of the palette entry nearest to the colour (exact match first).
int NearestIndex(const QList<QRgb>& palette, QRgb colour);

// Up to `maxColours` colours that represent the picture well (median cut);
// a picture with that few distinct colours keeps them exactly.
QList<QRgb> ReducePalette(const QImage& image, int maxColours);

// Uncompressed 4-bit and 8-bit BMP with the given colour table; every pixel is
// stored as the nearest table entry. 4-bit tables have at most 16 entries.
QByteArray WriteBmp4(const QImage& image, const QList<QRgb>& palette);
QByteArray WriteBmp8(const QImage& image, const QList<QRgb>& palette);

// 32-bit BMP with an alpha channel (version 5 header, bit fields), for small
// list pictures that must show the background around them.
QByteArray WriteBmp32(const QImage& image);

// A one-frame GIF with a global table of 256 entries (the palette padded with
// black) and no transparent colour.
QByteArray WriteGif(const QImage& image, const QList<QRgb>& palette);

// A progressive (multi-scan) baseline-Huffman JPEG at a fixed quality.
QByteArray WriteProgressiveJpeg(const QImage& image, int quality);

} // namespace pictures
