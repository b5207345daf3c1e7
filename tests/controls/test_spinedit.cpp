#include "controls/SpinEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Fixture
{
    QWidget window;
    SpinEdit* field = new SpinEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    Fixture()
    {
        field->move(0, 0);
        other->move(0, 40);
        window.show();
        field->setFocus();
        QApplication::setActiveWindow(&window);
    }
    QLineEdit* edit() const { return field->findChild<QLineEdit*>(); }
    void type(const QString& text)
    {
        edit()->selectAll();
        QTest::keyClicks(edit(), text);
    }
};

} // namespace

TEST(SpinEdit, TextReadsAsAWholeNumberOrZero)
{
    struct Case
    {
        const char* text;
        int value;
    };
    const Case cases[] = {{"12", 12}, {"-2", -2}, {"+7", 7}, {"", 0}, {"-", 0}, {"+", 0}, {"007", 7},
                          {"99999999999", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(SpinEdit::parseValue(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(SpinEdit, TypingTakesDigitsAndALeadingSignOnly)
{
    Fixture f;
    f.type(QStringLiteral("-1a2+"));
    EXPECT_EQ(f.edit()->text(), QStringLiteral("-12"));
    EXPECT_EQ(f.field->value(), -12);
}

TEST(SpinEdit, BoundsApplyOnlyWhenTheFocusLeaves)
{
    Fixture f;
    f.field->setRange(0, 23);
    QSignalSpy changes(f.field, &SpinEdit::changed);
    f.type(QStringLiteral("75"));
    EXPECT_EQ(f.field->value(), 75); // not limited while typing
    const int typed = changes.count();
    f.other->setFocus();
    EXPECT_EQ(f.edit()->text(), QStringLiteral("23"));
    EXPECT_EQ(changes.count(), typed + 1); // the correction runs the handler again

    f.field->setFocus();
    f.type(QStringLiteral("-4"));
    f.other->setFocus();
    EXPECT_EQ(f.field->value(), 0);
}

// Only a move within the window pulls the value into range: a message box or
// another window taking the focus leaves it as typed.
TEST(SpinEdit, BoundsApplyWhenTheFocusMovesWithinTheWindow)
{
    struct Case
    {
        Qt::FocusReason reason;
        const char* text;
    };
    const Case cases[] = {{Qt::TabFocusReason, "23"},          {Qt::BacktabFocusReason, "23"},
                          {Qt::MouseFocusReason, "23"},        {Qt::ShortcutFocusReason, "23"},
                          {Qt::OtherFocusReason, "23"},        {Qt::ActiveWindowFocusReason, "75"},
                          {Qt::PopupFocusReason, "75"}};
    for (const Case& c : cases) {
        Fixture f;
        f.field->setRange(0, 23);
        f.type(QStringLiteral("75"));
        QFocusEvent leave(QEvent::FocusOut, c.reason);
        QApplication::sendEvent(f.field, &leave);
        EXPECT_EQ(f.edit()->text(), QLatin1String(c.text)) << c.reason;
    }
}

TEST(SpinEdit, AValueInsideTheBoundsIsLeftAloneOnFocusLoss)
{
    Fixture f;
    f.field->setRange(0, 59);
    f.type(QStringLiteral("5"));
    QSignalSpy changes(f.field, &SpinEdit::changed);
    f.other->setFocus();
    EXPECT_EQ(changes.count(), 0);
    f.field->setFocus();
    f.edit()->clear();
    f.other->setFocus();
    EXPECT_EQ(f.edit()->text(), QString()); // empty reads as 0, which is inside
}

TEST(SpinEdit, UnboundedFieldKeepsAnyNumber)
{
    Fixture f;
    f.type(QStringLiteral("-2"));
    f.other->setFocus();
    EXPECT_EQ(f.field->value(), -2);
}

TEST(SpinEdit, ArrowsStepAndStopAtTheBounds)
{
    Fixture f;
    f.field->setRange(0, 59);
    f.field->setValue(58);
    QTest::keyClick(f.field, Qt::Key_Up);
    EXPECT_EQ(f.field->value(), 59);
    QTest::keyClick(f.field, Qt::Key_Up);
    EXPECT_EQ(f.field->value(), 59);
    f.field->setValue(0);
    QTest::keyClick(f.field, Qt::Key_Down);
    EXPECT_EQ(f.field->value(), 0);
    f.field->setMinValue(-5);
    QTest::keyClick(f.field, Qt::Key_Down);
    EXPECT_EQ(f.field->value(), -1);
}

TEST(SpinEdit, SettingAValueSignalsOnlyAChange)
{
    Fixture f;
    f.field->setRange(0, 59);
    f.field->setValue(30);
    QSignalSpy changes(f.field, &SpinEdit::changed);
    f.field->setValue(30);
    EXPECT_EQ(changes.count(), 0);
    f.field->setValue(75); // a program's value is pulled into the bounds at once
    EXPECT_EQ(f.field->value(), 59);
    EXPECT_EQ(changes.count(), 1);
}
