#include "controls/BitBtnXP.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const QRgb Olive = qRgb(128, 128, 0);

// Sets what the visual-style stand-ins answer and records the states drawn.
class ScopedThemes
{
public:
    explicit ScopedThemes(dw::ThemeEnvironment environment = {})
    {
        dw::ForgetThemeLibrary();
        dw::SetThemeEnvironment(environment);
        dw::SetThemeDrawObserver([this](int, int state, const QRect&) { states.push_back(state); });
    }
    ~ScopedThemes()
    {
        dw::SetThemeDrawObserver({});
        dw::SetThemeEnvironment({});
        dw::ForgetThemeLibrary();
    }
    std::vector<int> states;
};

dw::ThemeEnvironment Classic()
{
    dw::ThemeEnvironment environment;
    environment.appThemed = false;
    return environment;
}

void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A dialog with a line edit and the given buttons, shown and active, focus on the edit.
struct TestDialog
{
    explicit TestDialog(std::initializer_list<TBitBtnXP::TBitBtnXPKind> kinds)
    {
        dialog.resize(300, 120);
        edit = new QLineEdit(&dialog);
        edit->setGeometry(5, 5, 100, 20);
        int x = 5;
        for (TBitBtnXP::TBitBtnXPKind kind : kinds) {
            auto* button = new TBitBtnXP(&dialog);
            button->setKind(kind);
            button->setGeometry(x, 40, 75, 25);
            x += 80;
            buttons.push_back(button);
        }
    }
    void show()
    {
        ShowActive(dialog);
        edit->setFocus();
    }
    QDialog dialog;
    QLineEdit* edit;
    std::vector<TBitBtnXP*> buttons;
};

TEST(BitBtnXPKind, EachKindSetsCaptionResultAndRoles)
{
    struct Case
    {
        TBitBtnXP::TBitBtnXPKind kind;
        const char* caption;
        int modalResult;
        bool isDefault;
        bool isCancel;
    };
    const Case cases[] = {
        {TBitBtnXP::bkOK, "OK", 1, true, false},           {TBitBtnXP::bkCancel, "Cancel", 2, false, true},
        {TBitBtnXP::bkHelp, "&Help", 0, false, false},     {TBitBtnXP::bkYes, "&Yes", 6, true, false},
        {TBitBtnXP::bkNo, "&No", 7, false, true},          {TBitBtnXP::bkClose, "&Close", 0, false, false},
        {TBitBtnXP::bkAbort, "Abort", 3, false, false},    {TBitBtnXP::bkRetry, "&Retry", 4, false, false},
        {TBitBtnXP::bkIgnore, "&Ignore", 5, false, false}, {TBitBtnXP::bkAll, "&All", 8, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        TBitBtnXP button;
        button.setNumGlyphs(3);
        button.setKind(c.kind);
        EXPECT_EQ(button.text(), QString::fromLatin1(c.caption));
        EXPECT_EQ(button.modalResult(), c.modalResult);
        EXPECT_EQ(button.isDefault(), c.isDefault);
        EXPECT_EQ(button.isCancel(), c.isCancel);
        EXPECT_EQ(button.numGlyphs(), 2);
        EXPECT_EQ(button.kind(), c.kind);
        EXPECT_FALSE(button.isStored("text"));
        EXPECT_FALSE(button.isStored("ModalResult"));
        EXPECT_TRUE(button.isStored("Kind"));
    }
}

TEST(BitBtnXPKind, OwnCaptionSurvivesUntilTheButtonIsShown)
{
    TBitBtnXP button;
    button.setText(QStringLiteral("Später nochmal"));
    button.setKind(TBitBtnXP::bkYes);
    EXPECT_EQ(button.text(), QStringLiteral("Später nochmal"));
    EXPECT_TRUE(button.isDefault());
    EXPECT_EQ(button.modalResult(), 6);
    EXPECT_EQ(button.kind(), TBitBtnXP::bkYes);
    EXPECT_TRUE(button.isStored("text"));

    // Set after the kind, the caption wins as well.
    TBitBtnXP later;
    later.setKind(TBitBtnXP::bkIgnore);
    later.setText(QStringLiteral("Nicht mehr erinnern"));
    EXPECT_EQ(later.kind(), TBitBtnXP::bkIgnore);

    button.ensurePolished();
    button.setKind(TBitBtnXP::bkNo);
    EXPECT_EQ(button.text(), QStringLiteral("&No"));
}

TEST(BitBtnXPKind, ReadsAsCustomOnceAPropertyNoLongerMatches)
{
    const std::pair<const char*, std::function<void(TBitBtnXP&)>> changes[] = {
        {"modal result", [](TBitBtnXP& b) { b.setModalResult(2); }},
        {"glyph", [](TBitBtnXP& b) { b.setGlyph(QPixmap(16, 16)); }},
        {"default", [](TBitBtnXP& b) { b.setDefault(false); }},
        {"cancel", [](TBitBtnXP& b) { b.setCancel(true); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        TBitBtnXP button;
        button.setKind(TBitBtnXP::bkYes);
        change(button);
        EXPECT_EQ(button.kind(), TBitBtnXP::bkCustom);
        EXPECT_FALSE(button.isStored("Kind"));
        EXPECT_TRUE(button.isStored("ModalResult"));
        EXPECT_TRUE(button.isStored("default"));
    }
    // Caption and layout do not belong to the kind's identity.
    TBitBtnXP button;
    button.setKind(TBitBtnXP::bkOK);
    button.ensurePolished();
    button.setText(QStringLiteral("Schließen"));
    button.setLayout(blGlyphTop);
    EXPECT_EQ(button.kind(), TBitBtnXP::bkOK);
    EXPECT_TRUE(button.isStored("Layout"));
}

TEST(BitBtnXPKind, RolesStaySteadyWhileFocusMovesInADialog)
{
    TestDialog d({TBitBtnXP::bkYes, TBitBtnXP::bkCancel});
    d.show();
    TBitBtnXP* yes = d.buttons[0];
    TBitBtnXP* cancel = d.buttons[1];
    EXPECT_TRUE(yes->IsActive());
    EXPECT_FALSE(cancel->IsActive());

    cancel->setFocus();
    EXPECT_FALSE(yes->IsActive());
    EXPECT_TRUE(cancel->IsActive());
    EXPECT_EQ(yes->kind(), TBitBtnXP::bkYes);
    EXPECT_EQ(cancel->kind(), TBitBtnXP::bkCancel);

    d.edit->setFocus();
    EXPECT_TRUE(yes->IsActive());
}

TEST(BitBtnXPProperties, SettersKeepTheirLimits)
{
    TBitBtnXP button;
    button.setMargin(-2);
    EXPECT_EQ(button.margin(), -1);
    button.setMargin(3);
    button.setMargin(-5);
    EXPECT_EQ(button.margin(), 3);
    button.setMargin(-1);
    EXPECT_EQ(button.margin(), -1);

    button.setNumGlyphs(7);
    EXPECT_EQ(button.numGlyphs(), 4);
    button.setNumGlyphs(0);
    EXPECT_EQ(button.numGlyphs(), 4);

    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(Olive);
    button.setGlyph(picture);
    EXPECT_EQ(button.numGlyphs(), 2);
    EXPECT_TRUE(button.isStored("Glyph"));

    struct Stored
    {
        const char* property;
        bool expected;
    };
    const Stored defaults[] = {{"Kind", false},  {"Layout", false}, {"Margin", false}, {"Spacing", false},
                               {"Style", false}, {"text", false},   {"Glyph", true},   {"default", true}};
    TBitBtnXP fresh;
    for (const Stored& s : defaults)
        EXPECT_EQ(fresh.isStored(s.property), s.expected) << s.property;
}

TEST(BitBtnXPClick, SetsTheDialogResultBeforeTheHandlersRun)
{
    TestDialog d({TBitBtnXP::bkOK});
    d.show();
    int resultSeen = -1;
    QObject::connect(d.buttons[0], &QPushButton::clicked, [&] { resultSeen = d.dialog.result(); });
    QTest::mouseClick(d.buttons[0], Qt::LeftButton);
    EXPECT_EQ(resultSeen, 1);
    EXPECT_EQ(d.dialog.result(), 1);
    EXPECT_FALSE(d.dialog.isVisible());
}

TEST(BitBtnXPClick, EnterPressesTheDefaultButtonFromAnEditField)
{
    TestDialog d({TBitBtnXP::bkOK, TBitBtnXP::bkIgnore});
    d.show();
    QTest::keyClick(d.edit, Qt::Key_Return);
    EXPECT_EQ(d.dialog.result(), 1);
}

TEST(BitBtnXPClick, EnterPressesTheFocusedButton)
{
    TestDialog d({TBitBtnXP::bkOK, TBitBtnXP::bkIgnore});
    d.show();
    d.buttons[1]->setFocus();
    QTest::keyClick(d.buttons[1], Qt::Key_Return);
    EXPECT_EQ(d.dialog.result(), 5);
}

TEST(BitBtnXPClick, EscPressesTheCancelButtonOrNothing)
{
    {
        TestDialog d({TBitBtnXP::bkYes, TBitBtnXP::bkCancel});
        d.show();
        QSignalSpy clicked(d.buttons[1], &QPushButton::clicked);
        QTest::keyClick(d.edit, Qt::Key_Escape);
        EXPECT_EQ(clicked.count(), 1);
        EXPECT_EQ(d.dialog.result(), 2);
        EXPECT_FALSE(d.dialog.isVisible());
    }
    {
        TestDialog d({TBitBtnXP::bkOK, TBitBtnXP::bkIgnore});
        d.show();
        QTest::keyClick(d.edit, Qt::Key_Escape);
        EXPECT_TRUE(d.dialog.isVisible());
    }
    {
        TestDialog d({TBitBtnXP::bkOK, TBitBtnXP::bkCancel});
        d.buttons[1]->setEnabled(false);
        d.show();
        QTest::keyClick(d.edit, Qt::Key_Escape);
        EXPECT_TRUE(d.dialog.isVisible());
    }
}

TEST(BitBtnXPClick, CloseKindClosesItsWindow)
{
    QWidget window;
    auto* button = new TBitBtnXP(&window);
    button->setKind(TBitBtnXP::bkClose);
    ShowActive(window);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST(BitBtnXPClick, DoubleClickGivesTwoClicks)
{
    QWidget window;
    auto* button = new TBitBtnXP(&window);
    button->setGeometry(0, 0, 75, 25);
    ShowActive(window);
    QSignalSpy clicked(button, &QPushButton::clicked);
    // What the system delivers for a double click: press, release, double click, release.
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 2);
}

TEST(BitBtnXPLifetime, DeletingTheFocusedButtonIsSafe)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* button = new TBitBtnXP(&window);
    button->setDefault(true);
    ShowActive(window);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    delete button; // the focus leaves a button whose own destructor has already run
    edit->setFocus();
    EXPECT_TRUE(edit->hasFocus());
}

TEST(BitBtnXPAccessibility, NameIsTheCaptionWithoutMnemonic)
{
    TBitBtnXP button;
    button.setKind(TBitBtnXP::bkYes);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Yes"));
    EXPECT_EQ(button.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST(BitBtnXPGlyphs, EveryKindPictureLoadsWithItsSize)
{
    if (!QFile::exists(QStringLiteral(":/pictures/BBOKX.bmp")))
        GTEST_SKIP() << "kind pictures not built into the resources yet";
    for (int k = TBitBtnXP::bkOK; k <= TBitBtnXP::bkAll; ++k) {
        const auto kind = static_cast<TBitBtnXP::TBitBtnXPKind>(k);
        const QImage& picture = TBitBtnXP::KindGlyph(kind);
        EXPECT_EQ(picture.size(), kind == TBitBtnXP::bkAll ? QSize(36, 19) : QSize(36, 18)) << k;
        EXPECT_EQ(picture.pixel(0, picture.height() - 1), Olive) << k;
        EXPECT_EQ(&TBitBtnXP::KindGlyph(kind), &picture);
    }
}

TEST(BitBtnXPPaint, ThemedStateFollowsTheActiveRole)
{
    ScopedThemes themes;
    {
        TBitBtnXP alone;
        alone.resize(75, 25);
        alone.grab();
        EXPECT_EQ(themes.states, std::vector<int>{0});
    }

    TestDialog d({TBitBtnXP::bkOK, TBitBtnXP::bkIgnore});
    d.show();
    TBitBtnXP* ok = d.buttons[0];
    TBitBtnXP* ignore = d.buttons[1];
    struct Case
    {
        const char* name;
        TBitBtnXP* button;
        std::function<void()> prepare;
        int state;
    };
    const Case cases[] = {
        {"default while an edit has the focus", ok, [&] { d.edit->setFocus(); }, dw::PBS_NORMAL},
        {"neither active nor focused", ignore, [&] { d.edit->setFocus(); }, 0},
        {"focused", ignore, [&] { ignore->setFocus(); }, dw::PBS_NORMAL},
        {"default while another button has the focus", ok, [&] { ignore->setFocus(); }, 0},
        {"pressed", ignore, [&] { ignore->setDown(true); }, dw::PBS_PRESSED},
        {"disabled", ok, [&] { ok->setEnabled(false); }, dw::PBS_DISABLED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        themes.states.clear();
        c.button->grab();
        EXPECT_EQ(themes.states, std::vector<int>{c.state});
    }
}

TEST(BitBtnXPPaint, WithoutTheLibraryEveryButtonIsClassic)
{
    dw::ThemeEnvironment noLibrary;
    noLibrary.libraryLoadable = false;
    ScopedThemes themes(noLibrary);
    TBitBtnXP button;
    button.resize(75, 25);
    dw::SetThemeEnvironment({}); // even if visual styles come on later
    const QImage image = button.grab().toImage();
    EXPECT_TRUE(themes.states.empty());
    EXPECT_EQ(dw::ThemeLibraryUseCount(), 0);
    EXPECT_EQ(image.pixel(0, 0), button.palette().color(QPalette::Light).rgb());
}

TEST(BitBtnXPPaint, StylesSwitchedOnLaterGiveOnlyTheColourFill)
{
    ScopedThemes themes(Classic());
    TBitBtnXP button;
    button.resize(75, 25);
    dw::SetThemeEnvironment({});
    const QImage image = button.grab().toImage();
    EXPECT_TRUE(themes.states.empty());
    EXPECT_EQ(image.pixel(0, 0), button.palette().color(QPalette::Button).rgb());
}

TEST(BitBtnXPPaint, ClassicFramesForEachState)
{
    ScopedThemes themes(Classic());
    QWidget window;
    window.resize(200, 60);
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(0, 30, 100, 20);
    auto* button = new TBitBtnXP(&window);
    button->setGeometry(0, 0, 75, 25);
    ShowActive(window);
    const QPalette pal = button->palette();
    const QRgb light = pal.color(QPalette::Light).rgb();
    const QRgb face = pal.color(QPalette::Button).rgb();
    const QRgb dark = pal.color(QPalette::Dark).rgb();
    const QRgb frame = pal.color(QPalette::Shadow).rgb();

    struct Case
    {
        const char* name;
        bool focused;
        bool down;
        QRgb at00;
        QRgb at11;
    };
    const Case cases[] = {
        {"released, inactive", false, false, light, face},
        {"released, focused", true, false, frame, light},
        {"pressed, inactive", false, true, dark, face},
        {"pressed, focused", true, true, frame, dark},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.focused)
            button->setFocus();
        else
            edit->setFocus();
        button->setDown(c.down);
        const QImage image = button->grab().toImage();
        EXPECT_EQ(image.pixel(0, 0), c.at00);
        EXPECT_EQ(image.pixel(1, 1), c.at11);
    }
    EXPECT_TRUE(themes.states.empty());
}

TEST(BitBtnXPPaint, FocusRectangleIsDottedInsideTheFace)
{
    ScopedThemes themes(Classic());
    QWidget window;
    auto* button = new TBitBtnXP(&window);
    button->setGeometry(0, 0, 75, 25);
    ShowActive(window);
    button->setFocus();
    const QImage focused = button->grab().toImage();
    const QRgb face = button->palette().color(QPalette::Button).rgb();
    const QRgb inverted = qRgb(255 - qRed(face), 255 - qGreen(face), 255 - qBlue(face));
    EXPECT_EQ(focused.pixel(4, 4), inverted);
    EXPECT_EQ(focused.pixel(5, 4), face);
    EXPECT_EQ(focused.pixel(6, 4), inverted);
    EXPECT_EQ(focused.pixel(70, 20), inverted);
    EXPECT_EQ(focused.pixel(10, 10), face);
}

// Top-left pixel of the given colour, or (-1, -1).
QPoint FindColour(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return {x, y};
    return {-1, -1};
}

TEST(BitBtnXPPaint, PressedShowsTheNormalCellMovedByOnePixel)
{
    for (const dw::ThemeEnvironment& environment : {dw::ThemeEnvironment{}, Classic()}) {
        SCOPED_TRACE(environment.appThemed ? "themed" : "classic");
        ScopedThemes themes(environment);
        QImage picture(32, 16, QImage::Format_RGB32);
        picture.fill(Olive);
        const QRgb red = qRgb(255, 0, 0);
        const QRgb blue = qRgb(0, 0, 255);
        picture.setPixel(4, 5, red);
        picture.setPixel(16 + 4, 5, blue);
        TBitBtnXP button;
        button.resize(75, 25);
        button.setGlyph(picture);

        const QPoint released = FindColour(button.grab().toImage(), red);
        button.setDown(true);
        const QImage pressedImage = button.grab().toImage();
        ASSERT_NE(released, QPoint(-1, -1));
        EXPECT_EQ(FindColour(pressedImage, red), released + QPoint(1, 1));
        EXPECT_EQ(FindColour(pressedImage, blue), QPoint(-1, -1));

        button.setDown(false);
        button.setEnabled(false);
        EXPECT_EQ(FindColour(button.grab().toImage(), blue), released);
    }
}

} // namespace
