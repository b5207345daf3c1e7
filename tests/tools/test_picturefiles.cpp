#include "TestSupport.h"
#include "tools/PixelArt.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

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

TEST(PictureFiles, CommittedPicturesMatchTheGenerator)
{
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess generator;
    generator.start(QStringLiteral(MAKE_PICTURES), {out.path()});
    ASSERT_TRUE(generator.waitForStarted(10000));
    if (!generator.waitForFinished(60000)) {
        generator.kill();
        generator.waitForFinished(5000);
        FAIL() << "the generator did not finish";
    }
    ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    const QStringList made = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    const QStringList committed = QDir(PictureFolder()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made, committed);
    for (const QString& name : made)
        EXPECT_TRUE(Contents(out.filePath(name)) == Contents(PictureFolder() + u'/' + name))
            << name.toStdString() << " differs from the generator's output; run `ninja pictures`";
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
        const QString path = QStringLiteral(":/pictures/") + QLatin1String(c.name);
        QImageReader reader(path);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << c.name << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), c.size) << c.name;
        if (c.bitsPerPixel != 0) {
            const QByteArray bytes = Contents(path);
            ASSERT_GT(bytes.size(), 30) << c.name;
            EXPECT_EQ(quint8(bytes[28]), c.bitsPerPixel) << c.name;
        }
        if (c.oliveGlyph) {
            EXPECT_EQ(image.pixel(0, image.height() - 1), pictures::Olive) << c.name << ": lower-left pixel";
            // The disabled cell uses only olive, white and gray.
            const int half = image.width() / 2;
            for (int y = 0; y < image.height(); ++y)
                for (int x = half; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y);
                    ASSERT_TRUE(p == pictures::Olive || p == qRgb(255, 255, 255) || p == qRgb(128, 128, 128))
                        << c.name << " at " << x << "," << y;
                }
        }
        if (QByteArray(c.name).endsWith(".gif")) {
            EXPECT_EQ(reader.imageCount(), 1) << c.name;
            EXPECT_FALSE(image.hasAlphaChannel()) << c.name;
            const QByteArray bytes = Contents(path);
            EXPECT_EQ(quint8(bytes[10]) & 0x87, 0x87) << c.name << ": global table of 256 entries";
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
