#include "TestSupport.h"
#include "tools/PixelArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

QString PictureFolder()
{
    return dwtest::SourceDir() + QStringLiteral("/resources/pictures");
}

QByteArray Contents(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of a picture file that must not vary from one processor to another:
// the BMP headers with the colour table, GIF's screen descriptor with its
// global table, and JPEG's frame and quantisation segments (its Huffman tables
// follow the data, so they may vary with it).
QByteArray FixedPart(const QByteArray& file)
{
    if (file.startsWith("BM") && file.size() >= 14)
        return file.left(qFromLittleEndian<quint32>(file.constData() + 10));
    if (file.startsWith("GIF") && file.size() >= 13) {
        const int table = (quint8(file[10]) & 0x80) ? 3 << ((quint8(file[10]) & 7) + 1) : 0;
        return file.left(13 + table);
    }
    QByteArray segments;
    for (qsizetype at = 2; at + 4 <= file.size() && quint8(file[at]) == 0xFF;) {
        const quint8 marker = quint8(file[at + 1]);
        const qsizetype length = qFromBigEndian<quint16>(file.constData() + at + 2);
        if (marker == 0xDA) // the scans follow
            break;
        if (marker == 0xDB ||
            (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC))
            segments += file.mid(at, 2 + length);
        at += 2 + length;
    }
    return segments;
}

// Antialiased drawing may come out a step off on another processor; a picture
// changed by hand or a drawing changed without regenerating is off by more.
constexpr int PixelTolerance = 2;

// The first pixel (premultiplied, so a faint edge's colour does not count for more
// than it shows) where a channel is off by more than the tolerance, or where one
// is fully transparent and the other is not; empty when there is none.
std::string FirstDifference(const QImage& made, const QImage& committed)
{
    const QImage a = made.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = committed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int off = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                      std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            if (off > PixelTolerance || (qAlpha(p) == 0) != (qAlpha(q) == 0))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is off by " +
                       std::to_string(off);
        }
    return {};
}

TEST(PictureFiles, CommittedPicturesMatchTheGenerator)
{
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess generator;
    generator.start(QStringLiteral(MAKE_PICTURES), {out.path()});
    ASSERT_TRUE(generator.waitForStarted(30000));
    if (!generator.waitForFinished(300000)) {
        generator.kill();
        generator.waitForFinished(5000);
        FAIL() << "the generator did not finish";
    }
    ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    const QStringList made = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    const QStringList committed = QDir(PictureFolder()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made, committed);
    for (const QString& name : made) {
        const std::string what =
            name.toStdString() + " differs from the generator's output (run `ninja pictures`): ";
        const QByteArray madeBytes = Contents(out.filePath(name));
        const QByteArray committedBytes = Contents(PictureFolder() + u'/' + name);
        if (madeBytes == committedBytes)
            continue;
        EXPECT_EQ(FixedPart(madeBytes).toHex().toStdString(), FixedPart(committedBytes).toHex().toStdString())
            << what << "header or colour table";
        EXPECT_FALSE(FixedPart(madeBytes).isEmpty()) << what << "not a BMP, GIF or JPEG";
        QBuffer madeBuffer(const_cast<QByteArray*>(&madeBytes));
        QBuffer committedBuffer(const_cast<QByteArray*>(&committedBytes));
        QImageReader madeReader(&madeBuffer);
        QImageReader committedReader(&committedBuffer);
        EXPECT_EQ(madeReader.format(), committedReader.format()) << what << "format";
        EXPECT_EQ(madeReader.imageCount(), committedReader.imageCount()) << what << "frames";
        const QImage madeImage = madeReader.read();
        const QImage committedImage = committedReader.read();
        ASSERT_FALSE(madeImage.isNull() || committedImage.isNull()) << what << "unreadable";
        ASSERT_EQ(madeImage.size(), committedImage.size()) << what << "size";
        EXPECT_EQ(madeImage.hasAlphaChannel(), committedImage.hasAlphaChannel()) << what << "transparency";
        EXPECT_EQ(FirstDifference(madeImage, committedImage), std::string()) << what;
    }
}

TEST(PictureFiles, EachPictureHasItsSizeAndFormat)
{
    struct Case
    {
        const char* name;
        QSize size;
        int bitsPerPixel; // BMP only; 0 for other formats
        bool oliveGlyph;
    };
    const Case cases[] = {
        {"tree_arrow.bmp", {16, 16}, 32, false},
        {"tree_papers.bmp", {16, 16}, 32, false},
        {"tree_year.bmp", {16, 16}, 32, false},
        {"tree_month.bmp", {16, 16}, 32, false},
        {"tree_day.bmp", {16, 16}, 32, false},
        {"tab_termine.bmp", {16, 16}, 32, false},
        {"tab_einstellungen.bmp", {16, 16}, 32, false},
        {"menu_show.bmp", {16, 16}, 32, false},
        {"menu_noaction.bmp", {16, 16}, 32, false},
        {"menu_www.bmp", {16, 16}, 32, false},
        {"menu_about.bmp", {16, 16}, 32, false},
        {"menu_exit.bmp", {16, 16}, 32, false},
        {"www.bmp", {24, 24}, 32, false},
        {"appicon.bmp", {32, 32}, 4, false},
        {"settings_column.bmp", {195, 284}, 8, false},
        {"BBOKX.bmp", {36, 18}, 4, true},
        {"BBCANCELX.bmp", {36, 18}, 4, true},
        {"BBHELPX.bmp", {36, 18}, 4, true},
        {"BBYESX.bmp", {36, 18}, 4, true},
        {"BBNOX.bmp", {36, 18}, 4, true},
        {"BBCLOSEX.bmp", {36, 18}, 4, true},
        {"BBABORTX.bmp", {36, 18}, 4, true},
        {"BBRETRYX.bmp", {36, 18}, 4, true},
        {"BBIGNOREX.bmp", {36, 18}, 4, true},
        {"BBALLX.bmp", {36, 19}, 4, true},
        {"btn_add.bmp", {32, 16}, 4, true},
        {"btn_delete.bmp", {32, 16}, 4, true},
        {"btn_up.bmp", {32, 16}, 4, true},
        {"btn_clearlast.bmp", {32, 16}, 4, true},
        {"btn_minimize.bmp", {32, 16}, 4, true},
        {"about_www.bmp", {32, 16}, 4, true},
        {"about.jpg", {306, 322}, 0, false},
        {"ueber.gif", {101, 30}, 0, false},
        {"ueber_down.gif", {101, 30}, 0, false},
        {"ende.gif", {101, 30}, 0, false},
        {"ende_down.gif", {101, 30}, 0, false},
    };
    for (const Case& c : cases) {
        // Each at its size, and at twice its size for screens at scale 2: smooth,
        // so a glyph and the icon there are 32-bit pictures with alpha.
        for (int scale : {1, 2}) {
            const QString base = QLatin1String(c.name);
            const QString name =
                scale == 1 ? base
                           : base.left(base.lastIndexOf(u'.')) + "@2x" + base.mid(base.lastIndexOf(u'.'));
            const std::string what = name.toStdString();
            const QString path = QStringLiteral(":/pictures/") + name;
            QImageReader reader(path);
            const QImage image = reader.read();
            ASSERT_FALSE(image.isNull()) << what << ": " << reader.errorString().toStdString();
            EXPECT_EQ(image.size(), c.size * scale) << what;
            const bool smooth = scale == 2 && (c.oliveGlyph || c.bitsPerPixel == 4);
            if (c.bitsPerPixel != 0) {
                const QByteArray bytes = Contents(path);
                ASSERT_GT(bytes.size(), 30) << what;
                EXPECT_EQ(quint8(bytes[28]), smooth ? 32 : c.bitsPerPixel) << what;
            }
            if (c.oliveGlyph) {
                EXPECT_EQ(image.pixel(0, image.height() - 1), smooth ? 0u : pictures::Olive)
                    << what << ": lower-left pixel";
                // The disabled cell uses only olive, white and gray; smooth, only grays.
                const int half = image.width() / 2;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = half; x < image.width(); ++x) {
                        const QRgb p = image.pixel(x, y);
                        if (smooth)
                            ASSERT_TRUE(qAlpha(p) == 0 ||
                                        (qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) >= 127))
                                << what << " at " << x << "," << y;
                        else
                            ASSERT_TRUE(p == pictures::Olive || p == qRgb(255, 255, 255) ||
                                        p == qRgb(128, 128, 128))
                                << what << " at " << x << "," << y;
                    }
            }
            if (base.endsWith(".gif")) {
                EXPECT_EQ(reader.imageCount(), 1) << what;
                EXPECT_FALSE(image.hasAlphaChannel()) << what;
                const QByteArray bytes = Contents(path);
                EXPECT_EQ(quint8(bytes[10]) & 0x87, 0x87) << what << ": global table of 256 entries";
            }
        }
    }
}

TEST(PictureFiles, ListPicturesAreTransparentAroundTheirShape)
{
    for (const char* name :
         {"tree_arrow.bmp", "tree_day.bmp", "menu_about.bmp", "menu_exit.bmp", "www.bmp"}) {
        const QImage image(QStringLiteral(":/pictures/") + QLatin1String(name));
        ASSERT_TRUE(image.hasAlphaChannel()) << name;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << name;
    }
}

} // namespace
