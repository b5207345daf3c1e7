#include "controls/ImageBtn.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

QPixmap Solid(const QColor& colour, QSize size = {101, 30})
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

// A picture is recognised by the colour of its first pixel.
QColor Shown(const TImageBtn& button)
{
    if (button.picture().isNull())
        return {};
    return button.picture().toImage().pixelColor(0, 0);
}

class ImageBtnTest : public ::testing::Test
{
protected:
    ImageBtnTest()
    {
        button.setPicture(Solid(Qt::red));
        button.setPicture2(Solid(Qt::blue));
        button.show();
    }

    // Mouse events carry the held buttons themselves; QTest's move does not.
    void send(QEvent::Type type, QPoint at, Qt::MouseButton changed, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(button.mapToGlobal(at)), changed, held, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }
    void press(QPoint at, Qt::MouseButton which = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, at, which, which);
    }
    void move(QPoint at, Qt::MouseButtons held = Qt::LeftButton)
    {
        send(QEvent::MouseMove, at, Qt::NoButton, held);
    }
    void release(QPoint at, Qt::MouseButton which = Qt::LeftButton)
    {
        send(QEvent::MouseButtonRelease, at, which, Qt::NoButton);
    }

    TImageBtn button;
    int clicks = 0;
};

TEST_F(ImageBtnTest, StartsWithTheFirstPictureAtItsSizeAndTabReachesIt)
{
    EXPECT_EQ(Shown(button), QColor(Qt::red));
    EXPECT_EQ(button.size(), QSize(101, 30));
    EXPECT_EQ(button.focusPolicy(), Qt::TabFocus);
    EXPECT_FALSE(button.swapped());
    EXPECT_FALSE(button.mouseHeld());
}

TEST_F(ImageBtnTest, DragOutBackInAndReleaseOutside)
{
    QObject::connect(&button, &TImageBtn::clicked, [this] { ++clicks; });
    struct Step
    {
        const char* what;
        QPoint at;
        QColor expected;
    };
    press({50, 15});
    EXPECT_EQ(Shown(button), QColor(Qt::blue)) << "pressed";
    // The edges: x and y from 0 to width-1 and height-1 are inside.
    const Step steps[] = {
        {"right of the control", {101, 15}, Qt::red},
        {"last column", {100, 15}, Qt::blue},
        {"above", {50, -1}, Qt::red},
        {"top row", {50, 0}, Qt::blue},
        {"below", {50, 30}, Qt::red},
        {"last row", {50, 29}, Qt::blue},
        {"left", {-1, 15}, Qt::red},
        {"first column", {0, 15}, Qt::blue},
        {"far outside", {300, 200}, Qt::red},
        {"far outside again", {400, 200}, Qt::red},
    };
    for (const Step& step : steps) {
        move(step.at);
        EXPECT_EQ(Shown(button), step.expected) << step.what;
        EXPECT_TRUE(button.mouseHeld()) << step.what;
    }
    release({400, 200});
    EXPECT_EQ(Shown(button), QColor(Qt::red));
    EXPECT_FALSE(button.mouseHeld());
    EXPECT_EQ(clicks, 0);
    // Moves without a held button change nothing.
    move({50, 15}, Qt::NoButton);
    EXPECT_EQ(Shown(button), QColor(Qt::red));
}

TEST_F(ImageBtnTest, ClickHandlerAlreadySeesTheFirstPicture)
{
    QColor seenInHandler;
    bool swappedInHandler = true;
    QObject::connect(&button, &TImageBtn::clicked, [&] {
        ++clicks;
        seenInHandler = Shown(button);
        swappedInHandler = button.swapped();
    });
    press({10, 10});
    move({12, 12});
    release({12, 12});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(seenInHandler, QColor(Qt::red));
    EXPECT_FALSE(swappedInHandler);
    EXPECT_EQ(Shown(button), QColor(Qt::red));
    EXPECT_FALSE(button.mouseHeld());
}

TEST_F(ImageBtnTest, OtherButtonsShowTheSecondPictureWithoutAClick)
{
    QObject::connect(&button, &TImageBtn::clicked, [this] { ++clicks; });
    for (Qt::MouseButton which : {Qt::RightButton, Qt::MiddleButton}) {
        press({20, 20}, which);
        EXPECT_EQ(Shown(button), QColor(Qt::blue));
        move({20, 21}, which);
        EXPECT_EQ(Shown(button), QColor(Qt::blue));
        release({20, 21}, which);
        EXPECT_EQ(Shown(button), QColor(Qt::red));
    }
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageBtnTest, NewSecondPictureWaitsForTheNextSwap)
{
    press({5, 5});
    button.setPicture2(Solid(Qt::green));
    EXPECT_EQ(Shown(button), QColor(Qt::blue)) << "the old second picture stays while pressed";
    move({5, 6});
    EXPECT_EQ(Shown(button), QColor(Qt::blue)) << "a move inside is no new swap";
    move({-5, 6});
    EXPECT_EQ(Shown(button), QColor(Qt::red));
    move({5, 6});
    EXPECT_EQ(Shown(button), QColor(Qt::green));
    release({5, 6});
    EXPECT_EQ(Shown(button), QColor(Qt::red));
}

TEST_F(ImageBtnTest, EmptySecondPictureShowsNothingWhilePressedAndKeepsTheSize)
{
    button.setPicture2(QPixmap());
    press({5, 5});
    EXPECT_TRUE(button.picture().isNull());
    EXPECT_EQ(button.size(), QSize(101, 30));
    release({5, 5});
    EXPECT_EQ(Shown(button), QColor(Qt::red));
}

TEST_F(ImageBtnTest, AutoSizeFollowsTheShownPicture)
{
    button.setPicture2(Solid(Qt::blue, {40, 20}));
    press({5, 5});
    EXPECT_EQ(button.size(), QSize(40, 20));
    release({5, 5});
    EXPECT_EQ(button.size(), QSize(101, 30));
}

TEST_F(ImageBtnTest, KeysPressItAsTheMouseDoes)
{
    QObject::connect(&button, &TImageBtn::clicked, [this] { ++clicks; });
    button.setCaption(QStringLiteral("&Info"));
    const struct
    {
        const char* what;
        std::function<void()> keys;
        int clicks;
    } cases[] = {
        {"Space", [this] { QTest::keyClick(&button, Qt::Key_Space); }, 1},
        {"Enter", [this] { QTest::keyClick(&button, Qt::Key_Return); }, 1},
        {"keypad Enter", [this] { QTest::keyClick(&button, Qt::Key_Enter); }, 1},
        {"its mnemonic", [this] { QTest::keyClick(&button, Qt::Key_I, Qt::AltModifier); }, 1},
        {"another letter", [this] { QTest::keyClick(&button, Qt::Key_E, Qt::AltModifier); }, 0},
        {"Space let go elsewhere",
         [this] {
             QTest::keyPress(&button, Qt::Key_Space);
             EXPECT_EQ(Shown(button), QColor(Qt::blue)) << "held";
             QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
             QApplication::sendEvent(&button, &away);
             QTest::keyRelease(&button, Qt::Key_Space);
         },
         0},
    };
    QApplication::setActiveWindow(&button);
    for (const auto& c : cases) {
        clicks = 0;
        c.keys();
        EXPECT_EQ(clicks, c.clicks) << c.what;
        EXPECT_EQ(Shown(button), QColor(Qt::red)) << c.what;
    }
}

TEST_F(ImageBtnTest, ScreenReadersSeeAPressableButtonNamedByItsWord)
{
    button.setCaption(QStringLiteral("En&de"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&button)->text(QAccessible::Name),
              QStringLiteral("Ende"));
    button.setAccessibleName(QStringLiteral("Ende"));
    QObject::connect(&button, &TImageBtn::clicked, [this] { ++clicks; });
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Ende"));
    QAccessibleActionInterface* actions = face->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
}

} // namespace
