// The pictures on screens at scale 2: each is drawn from its version at twice
// its size, never from the small one with its pixels doubled.
#include "controls/ButtonGlyph.h"
#include "controls/ImageBtn.h"
#include "controls/Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSet>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Before the application object: this program's screens are at scale 2.
const bool ScaledScreens = qputenv("QT_SCALE_FACTOR", "2");

// The picture's own pixels on an opaque ground, whatever its device pixel ratio.
QImage Flat(const QImage& picture)
{
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(QColor(212, 208, 200));
    QImage pixels = picture;
    pixels.setDevicePixelRatio(1.0);
    QPainter(&flat).drawImage(0, 0, pixels);
    return flat;
}

QImage Doubled(const QImage& picture)
{
    return Flat(picture).scaled(picture.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// How many colours the pixels along the picture's edges have: a doubled
// picture has only the small one's, a smooth one its steps between them.
int DistinctEdgePixels(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y + 1 < image.height(); ++y)
        for (int x = 0; x + 1 < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p != image.pixel(x + 1, y) || p != image.pixel(x, y + 1))
                colours.insert(p);
        }
    return int(colours.size());
}

// Pixels that differ within a square of four that doubling would have made one.
int FinerThanDoubled(const QImage& image)
{
    int count = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            count +=
                p != image.pixel(x + 1, y) || p != image.pixel(x, y + 1) || p != image.pixel(x + 1, y + 1);
        }
    return count;
}

QImage GlyphState(const QImage& picture, ButtonImageState state)
{
    TButtonGlyph glyph;
    glyph.setPicture(picture);
    glyph.setNumGlyphs(2);
    const int index = glyph.StateImage(state);
    return index < 0 ? QImage() : glyph.SharedList()->Image(index);
}

QImage PictureButton(const QPixmap& picture, qreal ratio)
{
    TImageBtn button;
    button.setPicture(picture);
    button.setCaption(QStringLiteral("&Info"));
    button.setCaptionRect(QRect(36, 0, 57, 30));
    QImage shown(button.size() * ratio, QImage::Format_RGB32);
    shown.setDevicePixelRatio(ratio);
    button.render(&shown);
    return shown;
}

TEST(SharpPictures, AtScaleTwoEachHasFinerEdgesThanItsSmallPictureDoubled)
{
    ASSERT_TRUE(ScaledScreens);
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0);
    const struct
    {
        const char* what;
        std::function<QImage()> small; // as at scale 1
        std::function<QImage()> shown; // as the program shows it at scale 2
    } cases[] = {
        {"the tree's alarm clock", [] { return QImage(":/pictures/tree_day.bmp"); },
         [] { return PictureIcon("tree_day.bmp").pixmap(QSize(16, 16)).toImage(); }},
        {"the tree's calendar", [] { return QImage(":/pictures/tree_year.bmp"); },
         [] { return PictureIcon("tree_year.bmp").pixmap(QSize(16, 16)).toImage(); }},
        {"the reminder's figure",
         [] { return GlyphState(QImage(":/pictures/BBIGNOREX.bmp"), ButtonImageState::Normal); },
         [] { return GlyphState(PictureImage("BBIGNOREX.bmp"), ButtonImageState::Normal); }},
        {"a disabled glyph",
         [] { return GlyphState(QImage(":/pictures/btn_add.bmp"), ButtonImageState::Disabled); },
         [] { return GlyphState(PictureImage("btn_add.bmp"), ButtonImageState::Disabled); }},
        {"the lettering of Info", [] { return PictureButton(QPixmap(":/pictures/ueber.gif"), 1.0); },
         [] { return PictureButton(Picture("ueber.gif"), 2.0); }},
    };
    for (const auto& c : cases) {
        const QImage small = c.small();
        const QImage shown = c.shown();
        ASSERT_FALSE(small.isNull() || shown.isNull()) << c.what;
        EXPECT_EQ(shown.devicePixelRatio(), 2.0) << c.what;
        ASSERT_EQ(shown.size(), small.size() * 2) << c.what;
        const QImage doubled = Doubled(small);
        const QImage sharp = Flat(shown);
        EXPECT_GT(DistinctEdgePixels(sharp), DistinctEdgePixels(doubled)) << c.what;
        EXPECT_EQ(FinerThanDoubled(doubled), 0) << c.what;
        EXPECT_GT(FinerThanDoubled(sharp), small.width()) << c.what;
    }
}

} // namespace
