#include "controls/ButtonGlyph.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QRgb Olive = qRgb(128, 128, 0);
const QColor Face(212, 208, 200);
const QColor Highlight(250, 250, 250);
const QColor Shadow(100, 100, 100);

// Fixed face colours, so the expected pixels do not depend on the style.
class ButtonGlyphTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = QApplication::palette();
        QPalette palette = m_saved;
        palette.setColor(QPalette::Button, Face);
        palette.setColor(QPalette::Light, Highlight);
        palette.setColor(QPalette::Dark, Shadow);
        QApplication::setPalette(palette);
    }
    void TearDown() override { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

// cells side by side, each size x size, olive background.
QImage Picture(int cells, int size, int height = -1)
{
    QImage image(cells * size, height < 0 ? size : height, QImage::Format_RGB32);
    image.fill(Olive);
    return image;
}

struct LayoutCase
{
    const char* name;
    QRect client;
    QSize glyph;
    QSize text;
    TButtonLayout layout;
    int margin;
    int spacing;
    unsigned flags;
    QPoint glyphPos;
    QPoint textPos;
};

TEST(ComputeLayout, PlacesGlyphAndCaptionWithIntegerArithmetic)
{
    const QRect wide(0, 0, 75, 25);
    const QRect tall(0, 0, 75, 50);
    const QSize g(18, 18);
    const QSize t(30, 13);
    const LayoutCase cases[] = {
        {"default block centred, 4 px apart", wide, g, t, blGlyphLeft, -1, 4, 0, {12, 4}, {34, 6}},
        {"glyph right", wide, g, t, blGlyphRight, -1, 4, 0, {45, 4}, {11, 6}},
        {"glyph top", tall, g, t, blGlyphTop, -1, 4, 0, {29, 8}, {23, 30}},
        {"glyph bottom", tall, g, t, blGlyphBottom, -1, 4, 0, {29, 24}, {23, 7}},
        {"both computed: thirds", wide, g, t, blGlyphLeft, -1, -1, 0, {9, 4}, {36, 6}},
        {"margin given, spacing computed", wide, g, t, blGlyphLeft, 2, -1, 0, {2, 4}, {32, 6}},
        {"both given", wide, g, t, blGlyphLeft, 3, 5, 0, {3, 4}, {26, 6}},
        {"right alignment swaps left to right", wide, g, t, blGlyphLeft, -1, 4, DT_RIGHT, {45, 4}, {11, 6}},
        {"right alignment swaps right to left", wide, g, t, blGlyphRight, -1, 4, DT_RIGHT, {12, 4}, {34, 6}},
        {"right alignment leaves top alone", tall, g, t, blGlyphTop, -1, 4, DT_RIGHT, {29, 8}, {23, 30}},
        {"empty glyph: caption alone centred", wide, {0, 0}, t, blGlyphLeft, -1, 4, 0, {23, 13}, {23, 6}},
        {"empty caption: glyph alone centred", wide, g, {0, 0}, blGlyphLeft, -1, 4, 0, {29, 4}, {47, 13}},
        {"empty caption with margin", wide, g, {0, 0}, blGlyphLeft, 5, 4, 0, {5, 4}, {23, 13}},
        {"client offset moves both", QRect(1, 1, 73, 23), g, t, blGlyphLeft, -1, 4, 0, {12, 4}, {34, 6}},
        // (40 - 48) / 3 = -2 when truncating toward zero; flooring would give -3.
        {"negative thirds truncate toward zero",
         QRect(0, 0, 40, 25),
         g,
         t,
         blGlyphLeft,
         -1,
         -1,
         0,
         {-2, 4},
         {14, 6}},
        {"negative spacing truncates toward zero",
         QRect(0, 0, 40, 25),
         g,
         t,
         blGlyphLeft,
         0,
         -1,
         0,
         {0, 4},
         {14, 6}},
        // A 16-px glyph in the 13 px left inside a 17-px classic button.
        {"16 px glyph in 13 px",
         QRect(2, 2, 71, 13),
         {16, 16},
         {0, 0},
         blGlyphLeft,
         -1,
         4,
         0,
         {30, 1},
         {46, 9}},
        {"16 px glyph in 12 px",
         QRect(2, 2, 71, 12),
         {16, 16},
         {0, 0},
         blGlyphLeft,
         -1,
         4,
         0,
         {30, 1},
         {46, 8}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GlyphLayout placed =
            ComputeLayout(c.client, c.glyph, c.text, c.layout, c.margin, c.spacing, c.flags);
        EXPECT_EQ(placed.glyphPos, c.glyphPos);
        EXPECT_EQ(placed.textRect, QRect(c.textPos, c.text));
    }
}

TEST(ComputeLayout, MeasuresNothingForAnEmptyCaption)
{
    const QFontMetrics metrics(QApplication::font());
    EXPECT_EQ(MeasureCaption(metrics, 100, QString(), 0), QSize(0, 0));
    // '&' marks the mnemonic and takes no room.
    EXPECT_EQ(MeasureCaption(metrics, 100, QStringLiteral("&Yes"), 0).width(),
              MeasureCaption(metrics, 100, QStringLiteral("Yes"), 0).width());
    // Lines stand as they are: no wrap inside a narrow width, one line per line break.
    const QSize oneLine = MeasureCaption(metrics, 5, QStringLiteral("Jetzt auf Termine"), 0);
    EXPECT_GT(oneLine.width(), 5);
    EXPECT_GT(MeasureCaption(metrics, 5, QStringLiteral("Jetzt\nauf"), 0).height(), oneLine.height());
}

TEST_F(ButtonGlyphTest, PictureShapeSetsNumberOfCells)
{
    struct Case
    {
        QSize size;
        int before;
        int expected;
    };
    const Case cases[] = {
        {{32, 16}, 1, 2}, {{80, 16}, 3, 1}, {{30, 16}, 3, 3},
        {{64, 16}, 1, 4}, {{16, 16}, 2, 1}, {{36, 19}, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height());
        TButtonGlyph glyph;
        glyph.setNumGlyphs(c.before);
        QImage picture(c.size, QImage::Format_RGB32);
        picture.fill(Olive);
        glyph.setPicture(picture);
        EXPECT_EQ(glyph.NumGlyphs(), c.expected);
    }
}

TEST_F(ButtonGlyphTest, TransparentColourFollowsThePicture)
{
    QImage picture = Picture(1, 8);
    picture.setPixel(0, 7, qRgb(1, 2, 3));
    EXPECT_EQ(TransparentColorOf(picture), qRgb(1, 2, 3));
    EXPECT_EQ(TransparentColorOf(picture, qRgb(9, 9, 9)), qRgb(9, 9, 9));
    QImage mono(8, 8, QImage::Format_Mono);
    mono.fill(0);
    EXPECT_EQ(TransparentColorOf(mono), qRgb(255, 255, 255));

    TButtonGlyph glyph;
    glyph.setPicture(picture);
    EXPECT_EQ(glyph.MaskColor(), qRgb(1, 2, 3));
}

TEST_F(ButtonGlyphTest, ZeroOrUnchangedCellCountKeepsCachedImages)
{
    TButtonGlyph glyph;
    int changes = 0;
    glyph.OnChange = [&] { ++changes; };
    glyph.setPicture(Picture(2, 16));
    ASSERT_EQ(changes, 1);
    const int normal = glyph.StateImage(ButtonImageState::Normal);
    ASSERT_NE(normal, -1);
    TGlyphList* list = glyph.SharedList();

    glyph.setNumGlyphs(0);
    glyph.setNumGlyphs(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(glyph.SharedList(), list);
    EXPECT_EQ(list->UsedCount(), 1);
    EXPECT_EQ(glyph.StateImage(ButtonImageState::Normal), normal);

    glyph.setNumGlyphs(1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(glyph.SharedList(), nullptr);
    EXPECT_EQ(glyph.CellSize(), QSize(32, 16));
}

TEST_F(ButtonGlyphTest, EmptyOrTooNarrowPictureHasNoImage)
{
    TButtonGlyph glyph;
    EXPECT_EQ(glyph.StateImage(ButtonImageState::Normal), -1);
    glyph.setPicture(Picture(1, 3, 16));
    glyph.setNumGlyphs(4);
    EXPECT_EQ(glyph.StateImage(ButtonImageState::Normal), -1);
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::red);
    QPainter painter(&target);
    glyph.PaintGlyph(painter, {0, 0}, ButtonImageState::Normal);
    painter.end();
    EXPECT_EQ(target.pixel(0, 0), QColor(Qt::red).rgb());
}

TEST_F(ButtonGlyphTest, NormalAndPressedImagesComeFromTheirCells)
{
    QImage picture = Picture(3, 4);
    picture.setPixel(1, 1, qRgb(255, 0, 0));     // normal cell
    picture.setPixel(8 + 2, 2, qRgb(0, 0, 255)); // pressed cell
    TButtonGlyph glyph;
    glyph.setPicture(picture);
    ASSERT_EQ(glyph.NumGlyphs(), 3);

    const int normalIndex = glyph.StateImage(ButtonImageState::Normal);
    ASSERT_NE(normalIndex, -1);
    const QImage normal = glyph.SharedList()->Image(normalIndex);
    EXPECT_EQ(normal.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(normal.pixel(0, 0)), 0);

    const QImage pressed = glyph.SharedList()->Image(glyph.StateImage(ButtonImageState::Pressed));
    EXPECT_EQ(pressed.pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(qAlpha(pressed.pixel(1, 1)), 0);

    // With fewer than three cells a pressed button shows the normal cell.
    glyph.setNumGlyphs(2);
    EXPECT_EQ(glyph.StateImage(ButtonImageState::Pressed), glyph.StateImage(ButtonImageState::Normal));
}

TEST_F(ButtonGlyphTest, DisabledCellTurnsGreysIntoFaceColours)
{
    QImage picture = Picture(2, 4);
    picture.setPixel(4 + 0, 0, qRgb(255, 255, 255));
    picture.setPixel(4 + 1, 0, qRgb(128, 128, 128));
    picture.setPixel(4 + 2, 0, qRgb(255, 0, 0));
    picture.setPixel(0, 0, qRgb(0, 255, 0)); // normal cell only
    TButtonGlyph glyph;
    glyph.setPicture(picture);

    const int index = glyph.StateImage(ButtonImageState::Disabled);
    ASSERT_NE(index, -1);
    const QImage disabled = glyph.SharedList()->Image(index);
    EXPECT_EQ(disabled.pixel(0, 0), Highlight.rgb());
    EXPECT_EQ(disabled.pixel(1, 0), Shadow.rgb());
    EXPECT_EQ(disabled.pixel(2, 0), qRgb(255, 0, 0));
    // The olive background became face colour, which is the image's transparent colour.
    EXPECT_EQ(qAlpha(disabled.pixel(3, 3)), 0);
}

TEST_F(ButtonGlyphTest, OneCellDisabledImageIsEngravedBlack)
{
    QImage picture = Picture(1, 6);
    picture.setPixel(1, 1, qRgb(0, 0, 0));
    picture.setPixel(3, 1, qRgb(0, 0, 0));
    picture.setPixel(4, 2, qRgb(0, 0, 0)); // covers the highlight of (3, 1)
    picture.setPixel(1, 4, qRgb(0, 0, 255));
    picture.setPixel(5, 5, qRgb(0, 0, 0)); // highlight falls outside the cell
    TButtonGlyph glyph;
    glyph.setPicture(picture);
    ASSERT_EQ(glyph.NumGlyphs(), 1);

    const int index = glyph.StateImage(ButtonImageState::Disabled);
    ASSERT_NE(index, -1);
    const QImage disabled = glyph.SharedList()->Image(index);
    EXPECT_EQ(disabled.pixel(1, 1), Shadow.rgb());
    EXPECT_EQ(disabled.pixel(2, 2), Highlight.rgb());
    EXPECT_EQ(disabled.pixel(4, 2), Shadow.rgb());
    EXPECT_EQ(disabled.pixel(5, 5), Shadow.rgb());
    EXPECT_EQ(qAlpha(disabled.pixel(1, 4)), 0); // other colours vanish
    EXPECT_EQ(qAlpha(disabled.pixel(0, 0)), 0);
}

TEST_F(ButtonGlyphTest, GlyphIsDrawnTransparently)
{
    QImage picture = Picture(1, 4);
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    TButtonGlyph glyph;
    glyph.setPicture(picture);
    QImage target(10, 10, QImage::Format_RGB32);
    target.fill(Qt::red);
    for (ButtonImageState state :
         {ButtonImageState::Normal, ButtonImageState::Disabled, ButtonImageState::Pressed}) {
        QPainter painter(&target);
        glyph.PaintGlyph(painter, {2, 3}, state);
    }
    EXPECT_EQ(target.pixel(2, 3), QColor(Qt::red).rgb());
    EXPECT_NE(target.pixel(3, 4), QColor(Qt::red).rgb());
}

TEST_F(ButtonGlyphTest, DisabledCaptionIsEmbossed)
{
    QImage target(60, 30, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    painter.setPen(Qt::black);
    const QRect textRect(5, 5, 40, 15);
    TButtonGlyph::PaintCaption(painter, textRect, QStringLiteral("IIII"), ButtonImageState::Disabled, 0);
    painter.end();
    int shadow = 0;
    int highlight = 0;
    int black = 0;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x) {
            const QRgb p = target.pixel(x, y);
            shadow += p == Shadow.rgb();
            highlight += p == Highlight.rgb();
            black += p == qRgb(0, 0, 0);
        }
    EXPECT_GT(shadow, 0);
    EXPECT_GT(highlight, 0);
    EXPECT_EQ(black, 0);
}

TEST_F(ButtonGlyphTest, SameCellSizeSharesOneListAndReusesSlots)
{
    ASSERT_EQ(TGlyphCache::Instance(), nullptr);
    auto a = std::make_unique<TButtonGlyph>();
    auto b = std::make_unique<TButtonGlyph>();
    TButtonGlyph other;
    a->setPicture(Picture(2, 16));
    b->setPicture(Picture(1, 16));
    other.setPicture(Picture(2, 18));

    EXPECT_EQ(a->StateImage(ButtonImageState::Normal), 0);
    EXPECT_EQ(a->StateImage(ButtonImageState::Disabled), 1);
    EXPECT_EQ(b->StateImage(ButtonImageState::Normal), 2);
    EXPECT_EQ(other.StateImage(ButtonImageState::Normal), 0);
    TGlyphList* list = a->SharedList();
    EXPECT_EQ(b->SharedList(), list);
    EXPECT_NE(other.SharedList(), list);
    EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 2);
    EXPECT_EQ(list->UsedCount(), 3);

    a.reset();
    EXPECT_EQ(list->UsedCount(), 1);
    EXPECT_EQ(list->UsedSlots(), (std::vector<bool>{false, false, true}));
    auto c = std::make_unique<TButtonGlyph>();
    c->setPicture(Picture(1, 16));
    EXPECT_EQ(c->StateImage(ButtonImageState::Normal), 0); // lowest free slot
    EXPECT_EQ(c->StateImage(ButtonImageState::Disabled), 1);
    EXPECT_EQ(list->Count(), 3);

    // A list nobody uses any more is freed, but the cache stays while a list is left.
    b.reset();
    c.reset();
    EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 1);
}

TEST_F(ButtonGlyphTest, CacheGoesWithTheLastGlyph)
{
    {
        TButtonGlyph first;
        EXPECT_NE(TGlyphCache::Instance(), nullptr);
        {
            TButtonGlyph second;
            second.setPicture(Picture(2, 16));
            second.StateImage(ButtonImageState::Normal);
        }
        EXPECT_EQ(TGlyphCache::Instance(), nullptr);
        first.setPicture(Picture(2, 16));
        EXPECT_NE(first.StateImage(ButtonImageState::Normal), -1);
        EXPECT_NE(TGlyphCache::Instance(), nullptr);
    }
    EXPECT_EQ(TGlyphCache::Instance(), nullptr);
}

TEST(GlyphList, RejectsImagesOfAnotherSize)
{
    TGlyphList list(16, 16);
    EXPECT_THROW(list.Add(QImage(18, 16, QImage::Format_RGB32), Olive), std::exception);
    list.Release(5); // a slot never taken is ignored
    EXPECT_EQ(list.UsedCount(), 0);
}

} // namespace
