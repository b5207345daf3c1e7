#include "controls/JpegImage.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray AboutPicture()
{
    QFile file(QStringLiteral(":/pictures/about.jpg"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Offset of the first marker `code` (FF code) in the stream, or -1.
qsizetype Marker(const QByteArray& data, quint8 code)
{
    for (qsizetype i = 0; i + 1 < data.size(); ++i)
        if (quint8(data[i]) == 0xFF && quint8(data[i + 1]) == code)
            return i;
    return -1;
}

TEST(JpegImage, DecodesTheProgressiveAboutPicture)
{
    const QByteArray data = AboutPicture();
    ASSERT_GE(Marker(data, 0xC2), 0) << "the picture is progressive";
    const QImage image = dw::DecodeJpeg(data);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(306, 322));
    // The same pixels as Qt's own reader gives, give or take rounding.
    const QImage reference = QImage::fromData(data, "JPG").convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(reference.size(), image.size());
    for (QPoint at : {QPoint(0, 0), QPoint(153, 161), QPoint(305, 321), QPoint(40, 120)})
        EXPECT_LE(qAbs(qGray(image.pixel(at)) - qGray(reference.pixel(at))), 2) << at.x() << "," << at.y();
}

TEST(JpegImage, DamagedDataGivesAnEmptyPicture)
{
    const QByteArray good = AboutPicture();
    const qsizetype frame = Marker(good, 0xC2);
    ASSERT_GE(frame, 0);
    QByteArray huge = good;
    // Frame header: length (2), precision (1), height (2), width (2).
    huge[frame + 5] = char(0xFF);
    huge[frame + 6] = char(0xFF);
    huge[frame + 7] = char(0xFF);
    huge[frame + 8] = char(0xFF);
    QByteArray noFrame = good;
    noFrame[frame + 1] = char(0xCF); // a coding process libjpeg does not know
    struct Case
    {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"start marker only", QByteArray::fromHex("FFD8")},
        {"garbage", QByteArray(4000, char(0x5A))},
        {"text", QByteArray("this is no picture at all")},
        {"cut after the header", good.left(frame + 20)},
        {"cut in the first scan", good.left(good.size() / 4)},
        {"cut just before the end marker", good.left(good.size() - 2)},
        {"65535 x 65535 pixels", huge},
        {"unknown frame type", noFrame},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(dw::DecodeJpeg(c.data).isNull()) << c.what;
}

TEST(JpegImage, ScrambledScanDataNeverCrashes)
{
    const QByteArray good = AboutPicture();
    const qsizetype scan = Marker(good, 0xDA);
    ASSERT_GE(scan, 0);
    // Whatever comes out (usually nothing), decoding must return normally.
    for (int seed = 0; seed < 24; ++seed) {
        QByteArray bad = good;
        for (qsizetype i = scan + 20 + seed * 7; i < bad.size() - 2; i += 97 + seed)
            bad[i] = char(quint8(bad[i]) ^ quint8(0x5A + seed));
        const QImage image = dw::DecodeJpeg(bad);
        EXPECT_TRUE(image.isNull() || image.size() == QSize(306, 322)) << seed;
    }
}

TEST(JpegImage, MissingFileGivesAnEmptyPicture)
{
    EXPECT_TRUE(dw::LoadJpeg(QStringLiteral("/nonexistent/about.jpg")).isNull());
}

} // namespace
