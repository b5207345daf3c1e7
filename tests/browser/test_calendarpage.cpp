// The page "Termine verwalten" on the offscreen platform: tree, list, buttons and
// edit pages driven by simulated clicks and keys.
#include "TestSupport.h"
#include "browser/CalendarPage.h"
#include "browser/DateTreeModel.h"
#include "browser/RepeatPage.h"
#include "platform/Memory.h"
#include "series/SeriesEdit.h"
#include "series/SeriesSet.h"
#include "ui_CalendarPage.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <tuple>

#include <gtest/gtest.h>

using namespace dwtest;

// Readable texts in failure messages.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using RowTexts = std::vector<std::pair<QString, QString>>;

class CalendarPageTest : public ::testing::Test
{
protected:
    CalendarPageTest()
    {
        grid.Build();
        page = std::make_unique<TCalendarPage>(grid);
        page->restartSaveTimer = [this] { ++restarts; };
        page->saveNow = [this] { ++saves; };
        page->resize(630, 440);
        page->ShowAll();
        page->SetInitialPosition(At(2024, 1, 5, 10, 0));
        page->show();
        QApplication::setActiveWindow(page.get());
    }

    Ui::TCalendarPage& ui() { return *page->form(); }
    QTreeWidget* list() { return ui().ListView1; }
    DayList& today() { return grid.Day(2024, 1, 5); }

    RowTexts Rows()
    {
        RowTexts rows;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            rows.emplace_back(list()->topLevelItem(i)->text(0), list()->topLevelItem(i)->text(1));
        return rows;
    }

    // Appointments of today with these names, listed afresh.
    void AddToday(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ReplaceText(grid.NewAppointment(2024, 1, 5)->Name, QByteArray(name));
        page->ShowInformation();
    }

    void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTreeWidgetItem* item = list()->topLevelItem(row);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers,
                          list()->visualItemRect(item).center());
    }

    void DoubleClickRow(int row)
    {
        const QPoint at = list()->visualItemRect(list()->topLevelItem(row)).center();
        // A double click arrives after the press and release of the first click.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    // Key presses carrying any text, as a keyboard layout would send them.
    static void TypeText(QWidget* target, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &release);
        }
    }

    // Replaces the field's whole text by typing over it.
    static void TypeInto(QWidget* field, const QString& text)
    {
        auto* edit = field->findChild<QLineEdit*>();
        if (!edit)
            edit = qobject_cast<QLineEdit*>(field);
        field->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        TypeText(edit, text);
    }

    static void Leave(QWidget* field)
    {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &leave);
    }

    std::vector<int> FieldValues()
    {
        std::vector<int> values;
        for (SpinEdit* f :
             {ui().hour, ui().min, ui().day1, ui().hour1, ui().min1, ui().day2, ui().hour2, ui().min2})
            values.push_back(f->value());
        return values;
    }

    GermanFormats formats;
    ScriptedMessageBoxes boxes;
    CalendarGrid grid;
    std::unique_ptr<TCalendarPage> page;
    int restarts = 0;
    int saves = 0;
};

TEST_F(CalendarPageTest, StartsOnTodayWithTheButtonsOfAnEmptyDay)
{
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1, 5));
    EXPECT_EQ(ui().RxLabel3->text(), QStringLiteral("Fr 5.Januar 2024"));
    EXPECT_EQ(Rows(), (RowTexts{{"", "Keine Termine..."}}));
    EXPECT_TRUE(ui().AddTerminBtn->isEnabled());
    EXPECT_FALSE(ui().DelTerminBtn->isEnabled());
    EXPECT_TRUE(ui().UpBtn->isEnabled());
    EXPECT_FALSE(ui().Panel12->isVisible());
    for (quint32 key : {0u, MakeKey(2024), MakeKey(2024, 1)})
        EXPECT_TRUE(ui().TreeView1->isExpanded(page->treeModel()->IndexOfKey(key))) << key;
    EXPECT_FALSE(ui().TreeView1->isExpanded(page->treeModel()->IndexOfKey(MakeKey(2023))));
    EXPECT_EQ(ui().TreeView1->currentIndex().data(DateTreeModel::ImageIndexRole).toInt(),
              DateTreeModel::ImageSelected);
    EXPECT_EQ(restarts, 0);
}

TEST_F(CalendarPageTest, TheTreeNeverLosesItsSelection)
{
    const QModelIndex today = ui().TreeView1->currentIndex();
    const QPoint at = ui().TreeView1->visualRect(today).center();
    QTest::mouseClick(ui().TreeView1->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QTest::keyClick(ui().TreeView1, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1, 5));
    QTest::keyClick(ui().TreeView1, Qt::Key_Down);
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1, 6));
    EXPECT_EQ(ui().RxLabel3->text(), QStringLiteral("Sa 6.Januar 2024"));
}

TEST(CalendarPageStart, OutsideTheCalendarNothingIsSelected)
{
    for (const double today : {At(1999, 12, 31, 23, 59), At(2101, 1, 1)}) {
        CalendarGrid grid;
        grid.Build();
        TCalendarPage page(grid);
        page.ShowAll();
        page.SetInitialPosition(today);
        const Ui::TCalendarPage& ui = *page.form();
        EXPECT_FALSE(page.SelectedKey());
        EXPECT_TRUE(ui.TreeView1->isExpanded(page.treeModel()->IndexOfKey(0)));
        EXPECT_EQ(ui.RxLabel3->text(), QStringLiteral("Nichts ausgewählt"));
        EXPECT_EQ(ui.ListView1->topLevelItemCount(), 0);
        EXPECT_FALSE(ui.AddTerminBtn->isEnabled());
        EXPECT_FALSE(ui.DelTerminBtn->isEnabled());
        // Nothing to act on: the button leaves things as they are.
        QTest::mouseClick(ui.UpBtn, Qt::LeftButton);
        EXPECT_FALSE(page.SelectedKey());
    }
}

TEST_F(CalendarPageTest, UpGoesFromTheDayToTheRoot)
{
    AddToday({"A"});
    struct Step
    {
        quint32 key;
        const char* header;
        RowTexts rows;
        bool upEnabled;
    };
    const Step steps[] = {
        {MakeKey(2024, 1), "Januar 2024", {{"5. Fr", "1 Termin"}}, true},
        {MakeKey(2024), "Jahr 2024", {{"Januar", "1 Termin"}}, true},
        {0, "Alle Jahre", {{"2024", "1 Termin"}}, false},
    };
    for (const Step& step : steps) {
        QTest::mouseClick(ui().UpBtn, Qt::LeftButton);
        EXPECT_EQ(page->SelectedKey(), step.key);
        EXPECT_EQ(ui().RxLabel3->text(), QString::fromUtf8(step.header));
        EXPECT_EQ(Rows(), step.rows) << step.header;
        EXPECT_EQ(ui().UpBtn->isEnabled(), step.upEnabled) << step.header;
        EXPECT_FALSE(ui().AddTerminBtn->isEnabled()) << step.header;
    }
    page->UpBtnClick(); // at the root: nothing happens
    EXPECT_EQ(page->SelectedKey(), 0u);
}

TEST_F(CalendarPageTest, DoubleClickOnASummaryRowOpensItsNode)
{
    AddToday({"A", "B"});
    page->SelectNode(MakeKey(2024));
    ui().TreeView1->collapse(page->treeModel()->IndexOfKey(MakeKey(2024)));
    ASSERT_EQ(Rows(), (RowTexts{{"Januar", "2 Termine"}}));
    DoubleClickRow(0);
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1));
    EXPECT_TRUE(ui().TreeView1->isExpanded(page->treeModel()->IndexOfKey(MakeKey(2024))));
    EXPECT_EQ(ui().RxLabel3->text(), QStringLiteral("Januar 2024"));
    EXPECT_EQ(Rows(), (RowTexts{{"5. Fr", "2 Termine"}}));
    DoubleClickRow(0);
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1, 5));

    // Appointment rows and the placeholder row stand for no node.
    DoubleClickRow(1);
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1, 5));
    page->SelectNode(MakeKey(2024, 2));
    DoubleClickRow(0);
    EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 2));
}

TEST_F(CalendarPageTest, AddingToAnEmptyDayShowsTheNewAppointment)
{
    QTest::mouseClick(ui().AddTerminBtn, Qt::LeftButton);
    EXPECT_EQ(Rows(), (RowTexts{{"12:00:00", "Kein Name"}}));
    EXPECT_TRUE(list()->topLevelItem(0)->isSelected());
    EXPECT_TRUE(ui().Panel12->isVisible());
    EXPECT_TRUE(ui().DelTerminBtn->isEnabled());
    EXPECT_EQ(ui().NameEd->text(), QStringLiteral("Kein Name"));
    EXPECT_EQ(ui().NameEd->selectedText(), QStringLiteral("Kein Name"));
    EXPECT_TRUE(ui().NameEd->hasFocus());
    EXPECT_EQ(ui().DescEd->toPlainText(), QString());
    EXPECT_EQ(FieldValues(), (std::vector<int>{12, 0, 3, 0, 0, 1, 0, 0}));
    EXPECT_FALSE(ui().doneCheck->isChecked());
    EXPECT_EQ(ui().Label15->text(), QStringLiteral("Erinnert: nie"));
    EXPECT_EQ(saves, 1);
    ASSERT_EQ(today().count(), 1u);
    const Appointment& a = *today().at(0);
    EXPECT_STREQ(a.Name, "Kein Name");
    EXPECT_EQ(a.TimeOfDay, 0.5);
    EXPECT_EQ(a.FirstLead, 3.0);
    EXPECT_EQ(a.RepeatInterval, 1.0);
}

TEST_F(CalendarPageTest, AnAdditionWithoutMemoryTakesNoRowAndWritesNothing)
{
    AddToday({"A"});
    // The day's block is full at 100 records; the next one needs a bigger block.
    for (int i = 1; i < 100; ++i)
        grid.NewAppointment(2024, 1, 5);
    page->ShowInformation();
    dw::SetAllocFailureSeam([](std::size_t) { return true; });
    QTest::mouseClick(ui().AddTerminBtn, Qt::LeftButton);
    dw::SetAllocFailureSeam({});
    EXPECT_EQ(today().count(), 100u);
    EXPECT_EQ(list()->topLevelItemCount(), 100);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_FALSE(ui().Panel12->isVisible());
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(boxes.shown().size(), 1u); // the container's own message
}

TEST_F(CalendarPageTest, ASecondAppointmentIsListedBelowWhateverItsTime)
{
    QTest::mouseClick(ui().AddTerminBtn, Qt::LeftButton);
    TypeInto(ui().hour, QStringLiteral("14"));
    QTest::mouseClick(ui().AddTerminBtn, Qt::LeftButton);
    TypeInto(ui().hour, QStringLiteral("9"));
    EXPECT_EQ(Rows(), (RowTexts{{"14:00:00", "Kein Name"}, {"09:00:00", "Kein Name"}}));
    EXPECT_TRUE(list()->topLevelItem(1)->isSelected());
    EXPECT_EQ(saves, 2);
    page->ShowInformation();
    EXPECT_EQ(Rows(), (RowTexts{{"14:00:00", "Kein Name"}, {"09:00:00", "Kein Name"}}));
}

TEST_F(CalendarPageTest, TheLowestSelectedRowIsEdited)
{
    AddToday({"A", "B", "C"});
    today().at(1)->TimeOfDay = dw::EncodeTime(8, 15);
    today().at(2)->TimeOfDay = dw::EncodeTime(17, 45);
    page->ShowInformation();
    ClickRow(2);
    EXPECT_EQ(ui().NameEd->text(), QStringLiteral("C"));
    ClickRow(1, Qt::ControlModifier);
    EXPECT_EQ(ui().NameEd->text(), QStringLiteral("B"));
    EXPECT_EQ(FieldValues().at(0), 8);
    EXPECT_EQ(FieldValues().at(1), 15);
    // Showing B stored B's own values back: nothing was changed by the split.
    EXPECT_EQ(today().at(1)->TimeOfDay, dw::EncodeTime(8, 15));
    EXPECT_EQ(today().at(2)->TimeOfDay, dw::EncodeTime(17, 45));

    TypeInto(ui().NameEd, QStringLiteral("Oben"));
    EXPECT_STREQ(today().at(1)->Name, "Oben");
    EXPECT_STREQ(today().at(2)->Name, "C");
    EXPECT_EQ(Rows(), (RowTexts{{"12:00:00", "A"}, {"08:15:00", "Oben"}, {"17:45:00", "C"}}));
}

TEST_F(CalendarPageTest, DeletingAsksAndRemovesOnlyTheSelectedRows)
{
    struct Case
    {
        int answer;
        RowTexts rows;
        int saves;
    };
    const Case cases[] = {
        {dw::mrNo, {{"12:00:00", "A"}, {"12:00:00", "B"}, {"12:00:00", "C"}, {"12:00:00", "D"}}, 0},
        {dw::mrCancel, {{"12:00:00", "A"}, {"12:00:00", "B"}, {"12:00:00", "C"}, {"12:00:00", "D"}}, 0},
        {dw::mrYes, {{"12:00:00", "A"}, {"12:00:00", "C"}}, 1},
    };
    for (const Case& c : cases) {
        grid.Build();
        saves = 0;
        boxes.clear();
        AddToday({"A", "B", "C", "D"});
        ClickRow(1);
        ClickRow(3, Qt::ControlModifier);
        boxes.answer(c.answer);
        QTest::mouseClick(ui().DelTerminBtn, Qt::LeftButton);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text,
                  QStringLiteral("Wollen Sie die markierten Termine wirklich unwiderruflich löschen?"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Termine löschen"));
        EXPECT_EQ(boxes.shown()[0].flags, unsigned(dw::MB_YESNOCANCEL | dw::MB_ICONQUESTION));
        EXPECT_EQ(Rows(), c.rows) << c.answer;
        EXPECT_EQ(saves, c.saves) << c.answer;
        EXPECT_EQ(today().count(), c.rows.size());
    }
    // After the refill nothing is selected.
    EXPECT_FALSE(ui().Panel12->isVisible());
    EXPECT_FALSE(ui().DelTerminBtn->isEnabled());
}

// Edits are told by the appointment's id, and a refill after a change from
// outside (the sync deleted a row above) selects the same appointment again.
TEST_F(CalendarPageTest, EditsNameTheirAppointmentWhichARefillFindsAgain)
{
    std::vector<std::pair<std::uint32_t, TCalendarPage::Edit>> told;
    page->appointmentEdited = [&](std::uint32_t id, TCalendarPage::Edit edit) {
        told.emplace_back(id, edit);
    };
    AddToday({"A", "B"});
    QTest::mouseClick(ui().AddTerminBtn, Qt::LeftButton);
    QTest::keyClicks(ui().NameEd, "C");
    ASSERT_GE(told.size(), 2u);
    const std::uint32_t c = told.front().first;
    EXPECT_EQ(told.front().second, TCalendarPage::Edit::Added);
    EXPECT_EQ(told.back(), std::make_pair(c, TCalendarPage::Edit::Changed));
    EXPECT_EQ(grid.Find(c), today().at(2));

    ASSERT_TRUE(grid.DeleteAppointment(2024, 1, 5, 0));
    page->RefreshList();
    ASSERT_NE(list()->currentItem(), nullptr);
    EXPECT_EQ(list()->indexOfTopLevelItem(list()->currentItem()), 1);
    EXPECT_EQ(ui().NameEd->text(), QStringLiteral("C"));
    boxes.answer(dw::mrYes);
    QTest::mouseClick(ui().DelTerminBtn, Qt::LeftButton);
    EXPECT_EQ(told.back(), std::make_pair(c, TCalendarPage::Edit::Deleted));
    EXPECT_EQ(grid.Find(c), nullptr);
}

TEST_F(CalendarPageTest, DeleteKeyAsksEvenForThePlaceholderRow)
{
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)}) {
        saves = 0;
        boxes.clear();
        ClickRow(0);
        EXPECT_FALSE(ui().DelTerminBtn->isEnabled());
        boxes.answer(dw::mrYes);
        QTest::keyClick(list(), Qt::Key_Delete, modifiers);
        EXPECT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(Rows(), (RowTexts{{"", "Keine Termine..."}}));
        EXPECT_EQ(saves, 1);
    }
    // Without a selected row, or away from a day, there is nothing to ask about.
    boxes.clear();
    list()->clearSelection();
    QTest::keyClick(list(), Qt::Key_Delete);
    page->SelectNode(MakeKey(2024, 1));
    ClickRow(0);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(CalendarPageTest, AnHourOutOfRangeIsRefusedUntilTheFieldIsLeft)
{
    AddToday({"A"});
    today().at(0)->TimeOfDay = dw::EncodeTime(12, 30);
    page->ShowInformation();
    ClickRow(0);
    const int before = restarts;
    TypeInto(ui().hour, QStringLiteral("7"));
    EXPECT_EQ(today().at(0)->TimeOfDay, dw::EncodeTime(7, 30));
    EXPECT_EQ(Rows().at(0).first, QStringLiteral("07:30:00"));
    EXPECT_EQ(restarts, before + 1);

    QTest::keyClicks(ui().hour->findChild<QLineEdit*>(), QStringLiteral("5"));
    EXPECT_EQ(ui().hour->value(), 75);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Invalid argument to time encode.")});
    EXPECT_EQ(boxes.shown().at(0).caption, QStringLiteral("Datumswecker 1.0"));
    EXPECT_EQ(today().at(0)->TimeOfDay, dw::EncodeTime(7, 30));
    EXPECT_EQ(Rows().at(0).first, QStringLiteral("07:30:00"));
    EXPECT_EQ(restarts, before + 1);

    Leave(ui().hour);
    EXPECT_EQ(ui().hour->value(), 23);
    EXPECT_EQ(today().at(0)->TimeOfDay, dw::EncodeTime(23, 30));
    EXPECT_EQ(Rows().at(0).first, QStringLiteral("23:30:00"));
    EXPECT_EQ(restarts, before + 2);
}

TEST_F(CalendarPageTest, ReminderFieldsStoreDaysPlusTime)
{
    AddToday({"A"});
    ClickRow(0);
    struct Case
    {
        SpinEdit* field;
        const char* text;
        double firstLead;
        double repeat;
    };
    const Case cases[] = {
        {ui().day1, "0", 0.0, 1.0},
        {ui().day1, "-2", -2.0, 1.0},
        {ui().hour1, "6", -2.0 + 0.25, 1.0},
        {ui().min1, "30", -2.0 + dw::EncodeTime(6, 30), 1.0},
        {ui().day2, "", -2.0 + dw::EncodeTime(6, 30), 0.0}, // an empty field reads as 0
        {ui().min2, "1", -2.0 + dw::EncodeTime(6, 30), dw::EncodeTime(0, 1)},
    };
    for (const Case& c : cases) {
        TypeInto(c.field, QString::fromLatin1(c.text));
        EXPECT_DOUBLE_EQ(today().at(0)->FirstLead, c.firstLead)
            << c.field->objectName().toStdString() << c.text;
        EXPECT_DOUBLE_EQ(today().at(0)->RepeatInterval, c.repeat)
            << c.field->objectName().toStdString() << c.text;
    }
    // Showing the appointment again keeps a negative lead with hours as it is.
    ClickRow(0, Qt::ControlModifier);
    ClickRow(0);
    EXPECT_EQ(FieldValues(), (std::vector<int>{12, 0, -2, 6, 30, 0, 0, 1}));
    EXPECT_DOUBLE_EQ(today().at(0)->FirstLead, -2.0 + dw::EncodeTime(6, 30));
}

TEST_F(CalendarPageTest, TextsAreStoredInTheirCodePage)
{
    AddToday({"A"});
    ClickRow(0);
    TypeInto(ui().NameEd, QStringLiteral("äöüß€"));
    EXPECT_EQ(QByteArray(today().at(0)->Name), QByteArray("\xE4\xF6\xFC\xDF\x80"));
    EXPECT_EQ(Rows().at(0).second, QStringLiteral("äöüß€"));
    TypeInto(ui().NameEd, QStringLiteral("Ω"));
    EXPECT_EQ(QByteArray(today().at(0)->Name), QByteArray("?"));
    EXPECT_EQ(Rows().at(0).second, QStringLiteral("?")) << "the row shows what was stored";

    ui().NameEd->selectAll();
    QTest::keyClick(ui().NameEd, Qt::Key_Backspace);
    EXPECT_STREQ(today().at(0)->Name, "");
    EXPECT_EQ(Rows().at(0).second, QString());

    ui().DescEd->setFocus();
    QTest::keyClicks(ui().DescEd, QStringLiteral("Zeile 1"));
    QTest::keyClick(ui().DescEd, Qt::Key_Return);
    TypeText(ui().DescEd, QStringLiteral("Zeile\u00A02"));
    EXPECT_EQ(QByteArray(today().at(0)->Description), QByteArray("Zeile 1\r\nZeile\xA0"
                                                                 "2"));
    // Showing it again keeps every byte.
    ClickRow(0, Qt::ControlModifier);
    ClickRow(0);
    EXPECT_EQ(QByteArray(today().at(0)->Description), QByteArray("Zeile 1\r\nZeile\xA0"
                                                                 "2"));
}

// Selecting a row shows its appointment and stores nothing back, whatever the
// fields make of a value: bare line breaks, bytes outside the code page, seconds.
TEST_F(CalendarPageTest, ShowingAnAppointmentChangesNothing)
{
    struct Case
    {
        const char* what;
        std::function<void(Appointment&)> set;
    };
    const Case cases[] = {
        {"bare LF", [](Appointment& a) { ReplaceText(a.Description, QByteArray("eins\nzwei")); }},
        {"bare CR", [](Appointment& a) { ReplaceText(a.Description, QByteArray("eins\rzwei\r")); }},
        {"CR CR LF", [](Appointment& a) { ReplaceText(a.Description, QByteArray("eins\r\r\nzwei")); }},
        {"undefined byte", [](Appointment& a) { ReplaceText(a.Name, QByteArray("x\x81y\x9D")); }},
        {"seconds", [](Appointment& a) { a.TimeOfDay = dw::EncodeTime(13, 45, 30, 500); }},
        {"lead between minutes", [](Appointment& a) { a.FirstLead = 1.0000123; }},
        {"negative repeat", [](Appointment& a) { a.RepeatInterval = -0.3; }},
    };
    AddToday({"Erster", "Zweiter"});
    for (const Case& c : cases) {
        Appointment& a = *today().at(1);
        c.set(a);
        const auto stored = [&a] {
            return std::make_tuple(QByteArray(a.Name), QByteArray(a.Description), a.TimeOfDay, a.FirstLead,
                                   a.RepeatInterval, a.LastReminded, a.Done);
        };
        const auto before = stored();
        ClickRow(0); // the other appointment first, so that every field changes
        ClickRow(1);
        EXPECT_TRUE(stored() == before) << c.what;
    }
}

TEST_F(CalendarPageTest, ALongNameSurvivesBeingShown)
{
    AddToday({"A"});
    const QByteArray longName(40000, 'x');
    ReplaceText(today().at(0)->Name, longName);
    page->ShowInformation();
    ClickRow(0);
    EXPECT_EQ(QByteArray(today().at(0)->Name), longName);
    EXPECT_EQ(ui().NameEd->text().size(), 40000);
}

TEST_F(CalendarPageTest, AMegabyteDescriptionIsKeptIntact)
{
    AddToday({"A"});
    ClickRow(0);
    QString text;
    QByteArray expected;
    for (int line = 0; text.size() < 1024 * 1024; ++line) {
        const QString content = QStringLiteral("Zeile %1: ").arg(line) + QString(90, QChar(u'a' + line % 26));
        text += content + QLatin1Char('\n');
        expected += content.toLatin1() + "\r\n";
    }
    ui().DescEd->setFocus();
    ui().DescEd->insertPlainText(text);
    EXPECT_EQ(QByteArray(today().at(0)->Description), expected);
    ClickRow(0, Qt::ControlModifier);
    ClickRow(0);
    EXPECT_EQ(QByteArray(today().at(0)->Description), expected);
    EXPECT_EQ(ui().DescEd->toPlainText(), text);
}

TEST_F(CalendarPageTest, LastRemindedIsShownAndCleared)
{
    AddToday({"A", "B"});
    today().at(1)->LastReminded = At(2024, 1, 5, 8, 30);
    ClickRow(0);
    EXPECT_EQ(ui().Label15->text(), QStringLiteral("Erinnert: nie"));
    int before = restarts;
    QTest::mouseClick(ui().ClearLastBtn, Qt::LeftButton);
    EXPECT_EQ(today().at(0)->LastReminded, 0.0);
    EXPECT_EQ(ui().Label15->text(), QStringLiteral("Erinnert: nie"));
    EXPECT_EQ(restarts, before + 1);

    ClickRow(1);
    EXPECT_EQ(ui().Label15->text(), QStringLiteral("Erinnert: 05.01.2024; 08:30:00"));
    ui().PageControl1->setCurrentIndex(1);
    QTest::mouseClick(ui().doneCheck, Qt::LeftButton);
    EXPECT_EQ(today().at(1)->Done, 1);
    QTest::mouseClick(ui().ClearLastBtn, Qt::LeftButton);
    EXPECT_EQ(today().at(1)->LastReminded, 0.0);
    EXPECT_EQ(ui().Label15->text(), QStringLiteral("Erinnert: nie"));
}

TEST_F(CalendarPageTest, FieldsActOnNothingWithoutAnAppointmentRow)
{
    AddToday({"A"});
    page->SelectNode(MakeKey(2024, 1));
    ClickRow(0); // a summary row
    EXPECT_FALSE(ui().Panel12->isVisible());
    const int before = restarts;
    ui().NameEd->setText(QStringLiteral("X"));
    ui().hour->setValue(3);
    ui().day1->setValue(9);
    ui().doneCheck->setChecked(true);
    page->ClearLastBtnClick();
    EXPECT_EQ(restarts, before);
    EXPECT_STREQ(today().at(0)->Name, "A");
    EXPECT_EQ(today().at(0)->TimeOfDay, 0.5);
    EXPECT_EQ(today().at(0)->FirstLead, 3.0);
    EXPECT_EQ(today().at(0)->Done, 0);
}

TEST_F(CalendarPageTest, ControlsCanBeReachedAndNamed)
{
    for (QWidget* field : std::initializer_list<QWidget*>{
             ui().NameEd, ui().hour, ui().min, ui().DescEd, ui().day1, ui().hour1, ui().min1, ui().day2,
             ui().hour2, ui().min2, ui().TreeView1, ui().ListView1}) {
        EXPECT_FALSE(field->accessibleName().isEmpty()) << field->objectName().toStdString();
        EXPECT_NE(field->focusPolicy() & Qt::TabFocus, 0) << field->objectName().toStdString();
    }
    for (QLabel* label : page->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Label(?!15)"))))
        EXPECT_NE(label->buddy(), nullptr) << label->objectName().toStdString();
}

// An occurrence of a weekly series today, after today's appointment: what the
// user does to it, asked whether for it alone or all of the series.
TEST_F(CalendarPageTest, OccurrencesAreChangedAndDeletedAloneOrWithTheirSeries)
{
    using namespace dw::series;
    const std::int64_t day = dw::DaysFromCivil(2024, 1, 5);
    const Wall id = WallOf(day, 36000);
    struct Case
    {
        const char* name;
        int row;
        std::function<void()> act;
        int answer;
        RowTexts rows;
        std::function<bool(const SeriesSet&, const DayList&)> kept;
    };
    const auto rename = [this] { TypeInto(ui().NameEd, QStringLiteral("Solo")); };
    const auto remove = [this] { QTest::mouseClick(ui().DelTerminBtn, Qt::LeftButton); };
    const auto repeat = [this](RepeatChoice choice) {
        return [this, choice] {
            QComboBox* box = page->repeatPage()->repeatBox();
            box->setCurrentIndex(box->findData(static_cast<int>(choice)));
        };
    };
    const Case cases[] = {
        {"renamed alone: an exception",
         1,
         rename,
         dw::mrYes,
         {{"12:00:00", "A"}, {"10:00:00", "Solo"}},
         [&](const SeriesSet& s, const DayList&) {
             const Exception* e = FindException(s[0], id);
             return s[0].fields.name == "Chor" && e && e->fields.name == "Solo";
         }},
        {"renamed for all",
         1,
         rename,
         dw::mrAll,
         {{"12:00:00", "A"}, {"10:00:00", "Solo"}},
         [](const SeriesSet& s, const DayList&) {
             return s[0].fields.name == "Solo" && s[0].exceptions.empty();
         }},
        {"renaming cancelled",
         1,
         rename,
         dw::mrCancel,
         {{"12:00:00", "A"}, {"10:00:00", "Chor"}},
         [](const SeriesSet& s, const DayList&) {
             return s[0].fields.name == "Chor" && s[0].exceptions.empty();
         }},
        {"deleted alone: an excluded date",
         1,
         remove,
         dw::mrYes,
         {{"12:00:00", "A"}},
         [&](const SeriesSet& s, const DayList&) { return s[0].exdates == std::vector<Wall>{id}; }},
        {"deleted with its series",
         1,
         remove,
         dw::mrAll,
         {{"12:00:00", "A"}},
         [](const SeriesSet& s, const DayList& d) { return s.size() == 0 && d.count() == 1; }},
        {"repeated never: this one stays alone",
         1,
         repeat(RepeatChoice::Never),
         dw::mrYes,
         {{"12:00:00", "A"}, {"10:00:00", "Chor"}},
         [](const SeriesSet& s, const DayList& d) { return s.size() == 0 && d.count() == 2; }},
        {"an appointment made daily",
         0,
         repeat(RepeatChoice::Daily),
         dw::mrYes,
         {{"10:00:00", "Chor"}, {"12:00:00", "A"}},
         [](const SeriesSet& s, const DayList& d) {
             return s.size() == 2 && d.count() == 0 && s[1].rule->frequency == Frequency::Daily;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriesSet set;
        Fields fields;
        fields.name = "Chor";
        set.list().push_back(NewSeries(day, 36000, fields, Rule{}, 0));
        while (today().count() > 0)
            grid.DeleteAppointment(2024, 1, 5, 0);
        int changes = 0;
        page->setSeries(&set, [&] { ++changes; });
        AddToday({"A"});
        ASSERT_EQ(Rows(), (RowTexts{{"12:00:00", "A"}, {"10:00:00", "Chor"}}));
        EXPECT_FALSE(list()->topLevelItem(1)->icon(1).isNull()) << "the occurrence is marked";
        ClickRow(c.row);
        boxes.clear();
        boxes.answer(c.answer);
        c.act();
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_TRUE(c.kept(set, today()));
        EXPECT_EQ(changes > 0, c.answer != dw::mrCancel);
        page->setSeries(nullptr, {});
    }
}

} // namespace
