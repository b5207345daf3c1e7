#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG pictures decoded with libjpeg's own interface (baseline and progressive).
namespace dw {

// The decoded picture, or an empty image when the data is damaged in any way
// (libjpeg's errors and warnings alike, e.g. a file that ends early) or the
// picture is unreasonably large. Never crashes on bad input.
QImage DecodeJpeg(const QByteArray& data);

// Reads the file (a resource path works) and decodes it; empty on any failure.
QImage LoadJpeg(const QString& fileName);

} // namespace dw
