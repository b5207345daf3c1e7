#include "reminder/TerminForm.h"

#include "core/ReminderCheck.h"
#include "platform/MessageBox.h"
#include "tests/support/TestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

template <typename T> T* Child(QWidget& form, const char* name)
{
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Runs action inside the dialog's modal loop once it is up; a dialog the action
// failed to close is ended with -1 so that no test can hang.
int ShowAnd(TTerminForm& form, const std::function<void()>& action,
            const QString& heading = QStringLiteral("Am"), const QString& name = QStringLiteral("Name"),
            const QString& description = QString())
{
    QTimer::singleShot(0, &form, [&form, action] {
        action();
        if (form.isVisible())
            QTimer::singleShot(50, &form, [&form] { form.done(-1); });
    });
    return form.ShowReminder(heading, name, description);
}

struct ResultCase
{
    const char* what;
    std::function<void(TTerminForm&)> act;
    int result;
};

class TerminFormResult : public ::testing::TestWithParam<ResultCase>
{
};

TEST_P(TerminFormResult, GivesTheModalResultOfTheAnswer)
{
    TTerminForm form;
    const ResultCase& c = GetParam();
    EXPECT_EQ(ShowAnd(form, [&] { c.act(form); }), c.result) << c.what;
    EXPECT_FALSE(form.isVisible());
}

void Key(TTerminForm& form, const char* widget, Qt::Key key)
{
    QTest::keyClick(Child<QWidget>(form, widget), key);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TerminFormResult,
    ::testing::Values(
        ResultCase{"Enter in the description", [](TTerminForm& f) { Key(f, "Memo1", Qt::Key_Return); },
                   dw::mrYes},
        ResultCase{"keypad Enter in the name", [](TTerminForm& f) { Key(f, "Edit1", Qt::Key_Enter); },
                   dw::mrYes},
        ResultCase{"Enter on a focused button",
                   [](TTerminForm& f) {
                       Child<QPushButton>(f, "BitBtn2")->setFocus();
                       Key(f, "BitBtn2", Qt::Key_Return);
                   },
                   dw::mrIgnore},
        ResultCase{"Esc", [](TTerminForm& f) { Key(f, "Memo1", Qt::Key_Escape); }, dw::mrCancel},
        ResultCase{"close box", [](TTerminForm& f) { f.close(); }, dw::mrCancel},
        ResultCase{"click later", [](TTerminForm& f) { Child<QPushButton>(f, "BitBtn1")->click(); },
                   dw::mrYes},
        ResultCase{"click stop reminding", [](TTerminForm& f) { Child<QPushButton>(f, "BitBtn2")->click(); },
                   dw::mrIgnore},
        ResultCase{"click cancel all", [](TTerminForm& f) { Child<QPushButton>(f, "BitBtn3")->click(); },
                   dw::mrCancel},
        ResultCase{"program ends", [](TTerminForm& f) { f.CancelReminder(); }, dw::mrCancel},
        ResultCase{"answered in the notification", [](TTerminForm& f) { f.AnswerReminder(dw::mrIgnore); },
                   dw::mrIgnore}),
    [](const ::testing::TestParamInfo<ResultCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(TerminForm, ShowsTheTextsAsItsDescriptionWithFocusOnTheDefaultButton)
{
    TTerminForm form;
    auto* label = Child<QLabel>(form, "datelabel");
    auto* edit = Child<QLineEdit>(form, "Edit1");
    auto* memo = Child<QPlainTextEdit>(form, "Memo1");
    const QString longName(200, QLatin1Char('x'));
    QWidget* focus = nullptr;
    ShowAnd(
        form,
        [&] {
            focus = form.focusWidget();
            form.done(dw::mrYes);
        },
        QStringLiteral("Am 24.12.2030 um 18:30:00 Uhr"), longName, QStringLiteral("Zeile 1\r\nZeile 2"));

    EXPECT_EQ(focus, Child<QWidget>(form, "BitBtn1"));
    // What a screen reader reads as the dialog opens.
    EXPECT_EQ(form.accessibleDescription(),
              "Am 24.12.2030 um 18:30:00 Uhr\n" + longName + "\nZeile 1\nZeile 2");
    EXPECT_EQ(label->text(), QStringLiteral("Am 24.12.2030 um 18:30:00 Uhr"));
    EXPECT_EQ(label->pos(), QPoint(16, 10));
    EXPECT_GE(label->width(), label->sizeHint().width());
    EXPECT_EQ(edit->text(), longName);
    EXPECT_EQ(edit->cursorPosition(), 0) << "a long name shows its beginning";
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Zeile 1\nZeile 2"));
}

TEST(TerminForm, TabGoesThroughTheControlsInOrder)
{
    TTerminForm form;
    QStringList visited;
    ShowAnd(form, [&] {
        for (int i = 0; i < 5; ++i) {
            QWidget* focus = form.focusWidget();
            visited << (focus ? focus->objectName() : QStringLiteral("-"));
            QTest::keyClick(focus ? focus : &form, Qt::Key_Tab);
        }
        visited << (form.focusWidget() ? form.focusWidget()->objectName() : QStringLiteral("-"));
        form.done(dw::mrYes);
    });
    // As they stand on screen, from the top left.
    EXPECT_EQ(visited, (QStringList{"BitBtn1", "Edit1", "Memo1", "BitBtn3", "BitBtn2", "BitBtn1"}));
}

TEST(TerminForm, CentredFirstThenWhereTheUserLeftIt)
{
    TTerminForm form;
    QRect first;
    QPoint moved;
    ShowAnd(form, [&] {
        first = form.frameGeometry();
        // As a move by the window manager arrives.
        form.windowHandle()->setPosition(form.windowHandle()->position() + QPoint(-70, 45));
        QCoreApplication::processEvents();
        moved = form.pos();
        form.done(dw::mrYes);
    });
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    // Within the width of the window frame, which is unknown before the first showing.
    EXPECT_LE((first.center() - screenCentre).manhattanLength(), 6);
    EXPECT_EQ(moved, first.topLeft() + QPoint(-70, 45));

    QPoint second;
    QWidget* focus = nullptr;
    ShowAnd(form, [&] {
        second = form.pos();
        focus = form.focusWidget();
        form.done(dw::mrYes);
    });
    EXPECT_EQ(second, moved);
    EXPECT_EQ(focus, Child<QWidget>(form, "BitBtn1"))
        << "focus starts on the default button at every showing";
}

TEST(TerminForm, TypingInTheNameChangesNeitherTheFieldNorTheAppointment)
{
    dwtest::ScopedFakeClock clock(dwtest::At(2030, 12, 20, 12, 0));
    dwtest::GermanFormats formats;
    auto grid = std::make_unique<CalendarGrid>();
    grid->Build();
    Appointment* a = grid->NewAppointment(2030, 12, 21);
    ASSERT_NE(a, nullptr);
    TTerminForm form;
    ReminderCheck check(*grid, &form);

    QTimer::singleShot(0, &form, [&form] {
        auto* edit = Child<QLineEdit>(form, "Edit1");
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Anders"));
        EXPECT_EQ(edit->text(), QString::fromLatin1(DefaultName)) << "read-only";
        Child<QPushButton>(form, "BitBtn1")->click();
    });
    check.CheckTermins();

    const Appointment& stored = *grid->Day(2030, 12, 21).at(0);
    EXPECT_STREQ(stored.Name, DefaultName);
    EXPECT_EQ(stored.LastReminded, dwtest::At(2030, 12, 20, 12, 0));
}

// Not a check: writes a picture of the dialog for a person to look at.
// Run with --gtest_also_run_disabled_tests --gtest_filter=*Screenshot*.
TEST(TerminForm, DISABLED_Screenshot)
{
    TTerminForm form;
    const QString file = dwtest::BinaryDir() + QStringLiteral("/terminform.png");
    ShowAnd(
        form,
        [&] {
            form.grab().save(file);
            form.done(dw::mrYes);
        },
        QStringLiteral("Am 24.12.2030 um 18:30:00 Uhr"),
        QString::fromUtf8(
            "Weihnachtsfeier bei Tante Gerda mit der ganzen Verwandtschaft und Geschenken für alle"),
        QString::fromUtf8(
            "Vorher noch einkaufen: Gans, Rotkohl, Klöße, Wein.\r\nGeschenke einpacken und die "
            "Karten schreiben, die schon seit Wochen auf dem Schreibtisch liegen und auf eine "
            "Antwort warten.\r\nZug um 15:12 ab Hauptbahnhof, Gleis 7; Fahrkarten liegen in der "
            "Schublade.\r\nAn die Kerzen denken!\r\nUnd an die Lichterkette."));
    std::printf("%s\n", qPrintable(file));
}

} // namespace
