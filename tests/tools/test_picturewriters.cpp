#include "tools/PictureWriters.h"
#include "tools/PixelArt.h"
#include "tools/PixelFont.h"

#include <QBuffer>
#include <QPainter>
#include <QImageReader>

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace pictures;

// A picture of palette colours in a fixed pseudo-random pattern.
QImage Noise(int width, int height, const QList<QRgb>& palette, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, palette[int(random() % unsigned(palette.size()))]);
    return image;
}

QList<QRgb> Shades(int count)
{
    QList<QRgb> palette;
    for (int i = 0; i < count; ++i)
        palette.append(qRgb((i * 37) % 256, (i * 91) % 256, 255 - i));
    return palette;
}

QImage Read(const QByteArray& bytes, const char* format, int* frames = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    if (frames)
        *frames = reader.imageCount();
    return reader.read();
}

void ExpectSamePixels(const QImage& expected, const QImage& actual, const std::string& what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x)
            if (a.pixel(x, y) != e.pixel(x, y)) {
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " differs";
                return;
            }
}

TEST(PictureWriters, IndexedBmpRoundTripsAtEveryRowPadding)
{
    // Widths 1 to 9 cover every padding of 4-bit and 8-bit rows.
    for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 36, 195}) {
        const QImage sixteen = Noise(width, 5, VgaPalette(), unsigned(width));
        ExpectSamePixels(sixteen, Read(WriteBmp4(sixteen, VgaPalette()), "BMP"),
                         "4-bit width " + std::to_string(width));
        const QList<QRgb> many = Shades(256);
        const QImage full = Noise(width, 3, many, unsigned(width) + 100);
        ExpectSamePixels(full, Read(WriteBmp8(full, many), "BMP"), "8-bit width " + std::to_string(width));
    }
}

TEST(PictureWriters, IndexedBmpHeaderStatesDepthAndTable)
{
    const QImage image = Noise(18, 18, VgaPalette(), 1);
    const QByteArray bmp = WriteBmp4(image, VgaPalette());
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(quint8(bmp[28]), 4) << "bits per pixel";
    EXPECT_EQ(quint8(bmp[46]), 16) << "colours used";
    EXPECT_EQ(bmp.size(), 14 + 40 + 16 * 4 + 12 * 18) << "rows of 9 bytes padded to 12";
    EXPECT_THROW(WriteBmp4(image, Shades(17)), std::invalid_argument);
    EXPECT_THROW(WriteBmp8(image, Shades(257)), std::invalid_argument);
}

TEST(PictureWriters, AlphaBmpKeepsTransparency)
{
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(4, 2, qRgba(0, 0, 255, 255));
    image.setPixel(2, 1, qRgba(10, 20, 30, 128));
    const QImage read = Read(WriteBmp32(image), "BMP").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(read.size(), image.size());
    EXPECT_TRUE(read.hasAlphaChannel());
    EXPECT_EQ(read.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(read.pixel(4, 2), qRgba(0, 0, 255, 255));
    EXPECT_EQ(qAlpha(read.pixel(2, 1)), 128);
    EXPECT_EQ(read.pixel(1, 1), 0u);
    EXPECT_EQ(read.pixel(0, 2), 0u) << "the lower-left pixel is the transparent value";
}

TEST(PictureWriters, GifRoundTripsThroughQtsReader)
{
    struct Case
    {
        const char* what;
        QImage image;
        QList<QRgb> palette;
    };
    QImage flat(101, 30, QImage::Format_RGB32);
    flat.fill(qRgb(240, 240, 240));
    const Case cases[] = {
        {"one pixel", Noise(1, 1, Shades(3), 1), Shades(3)},
        {"one flat colour", flat, {qRgb(240, 240, 240)}},
        {"two colours", Noise(101, 30, Shades(2), 2), Shades(2)},
        // Noise in 256 colours fills the 4096-entry table many times over.
        {"full table noise", Noise(300, 200, Shades(256), 3), Shades(256)},
        {"stripes", Noise(640, 3, Shades(256), 4).scaled(640, 120), Shades(256)},
    };
    for (const Case& c : cases) {
        int frames = 0;
        const QByteArray gif = WriteGif(c.image, c.palette);
        EXPECT_EQ(quint8(gif[10]), 0xF7) << c.what << ": a global table of 256 entries";
        const QImage read = Read(gif, "GIF", &frames);
        EXPECT_EQ(frames, 1) << c.what;
        EXPECT_FALSE(read.hasAlphaChannel()) << c.what;
        ExpectSamePixels(c.image, read, c.what);
    }
}

TEST(PictureWriters, ReducePaletteKeepsFewColoursAndLimitsMany)
{
    const QImage few = Noise(40, 40, VgaPalette(), 5);
    const QList<QRgb> kept = ReducePalette(few, 256);
    EXPECT_EQ(kept.size(), 16);
    for (QRgb colour : VgaPalette())
        EXPECT_TRUE(kept.contains(colour));

    QImage gradient(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            gradient.setPixel(x, y, qRgb(x, y * 4, 255 - x));
    const QList<QRgb> reduced = ReducePalette(gradient, 256);
    EXPECT_EQ(reduced.size(), 256);
    EXPECT_EQ(reduced, ReducePalette(gradient, 256)) << "deterministic";
    // Every pixel finds a near entry.
    for (int y = 0; y < 64; y += 7)
        for (int x = 0; x < 256; x += 13) {
            const QRgb original = gradient.pixel(x, y);
            const QRgb mapped = reduced[NearestIndex(reduced, original)];
            EXPECT_LE(qAbs(qRed(mapped) - qRed(original)) + qAbs(qGreen(mapped) - qGreen(original)) +
                          qAbs(qBlue(mapped) - qBlue(original)),
                      48);
        }
}

TEST(PictureWriters, ProgressiveJpegIsMultiScan)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    const QByteArray jpeg = WriteProgressiveJpeg(image, 88);
    EXPECT_TRUE(jpeg.contains(QByteArray::fromHex("FFC2"))) << "progressive frame";
    EXPECT_GT(jpeg.count(QByteArray::fromHex("FFDA")), 1) << "several scans";
    EXPECT_EQ(jpeg, WriteProgressiveJpeg(image, 88));
    EXPECT_EQ(Read(jpeg, "JPG").size(), QSize(64, 48));
}

TEST(PixelArt, DisabledCellEngravesTheShapeOnOlive)
{
    const QImage cell = FromArt({"......", ".kkkk.", ".kkkk.", "......"}, Olive);
    const QImage disabled = DisabledCell(cell);
    EXPECT_EQ(disabled.pixel(1, 1), qRgb(128, 128, 128));
    EXPECT_EQ(disabled.pixel(5, 3), qRgb(255, 255, 255)) << "highlight one pixel right and down";
    EXPECT_EQ(disabled.pixel(0, 3), Olive);
    EXPECT_THROW(FromArt({"..", "..."}, Olive), std::invalid_argument);
    EXPECT_THROW(FromArt({"?"}, Olive), std::invalid_argument);
}

TEST(PixelFont, MeasuresAndRefusesWhatIsNoDigit)
{
    EXPECT_EQ(DigitsWidth(QStringLiteral("31")), 7);
    EXPECT_EQ(DigitsWidth(QString()), 0);
    QImage image(16, 16, QImage::Format_ARGB32);
    QPainter painter(&image);
    EXPECT_THROW(DrawDigits(painter, 0, 0, QStringLiteral("1a"), Qt::black, 1), std::invalid_argument);
    EXPECT_THROW(DrawSmoothDigits(painter, 0, 0, QStringLiteral("x"), Qt::black, 2), std::invalid_argument);
}

} // namespace
