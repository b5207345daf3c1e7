// The real main window loads a data file and the page browses it from the root to a day.
#include "TestSupport.h"
#include "app/MainForm.h"
#include "browser/CalendarPage.h"
#include "browser/DateKey.h"
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"
#include "store/DataFile.h"
#include "ui_CalendarPage.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace dwtest;

// Readable texts in failure messages.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using RowTexts = std::vector<std::pair<QString, QString>>;

RowTexts Rows(const QTreeWidget* list)
{
    RowTexts rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows.emplace_back(list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1));
    return rows;
}

void Add(CalendarGrid& grid, int y, int m, int d, const char* name, int hour, int minute)
{
    Appointment* a = grid.NewAppointment(y, m, d);
    ReplaceText(a->Name, dw::ToAnsi(QString::fromUtf8(name)));
    a->TimeOfDay = dw::EncodeTime(hour, minute);
}

TEST(BrowserInMainForm, WalksALoadedFileFromTheRootToADay)
{
    QTemporaryDir dir;
    ScopedFakeClock clock(At(2024, 1, 5, 10, 0));
    GermanFormats formats;
    ScriptedMessageBoxes boxes;
    dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    {
        CalendarGrid grid;
        grid.Build();
        Add(grid, 2024, 1, 5, "Zahnarzt", 14, 0);
        Add(grid, 2024, 1, 5, "Bäcker", 9, 30);
        Add(grid, 2024, 1, 20, "Konzert", 20, 0);
        Add(grid, 2024, 3, 1, "Steuer", 12, 0);
        Add(grid, 2031, 7, 4, "Jubiläum", 18, 15);
        ASSERT_TRUE(
            DataFile(dir.filePath(QStringLiteral("termine.dat"))).SaveTermins(grid, StoredSettings{}));
    }

    {
        TMainForm form;
        TCalendarPage* page = form.CalendarPage();
        const Ui::TCalendarPage& ui = *page->form();
        // Start-up lands on today.
        EXPECT_EQ(ui.RxLabel3->text(), QStringLiteral("Fr 5.Januar 2024"));
        EXPECT_EQ(Rows(ui.ListView1),
                  (RowTexts{{"14:00:00", "Zahnarzt"}, {"09:30:00", QStringLiteral("Bäcker")}}));

        page->SelectNode(0);
        struct Step
        {
            const char* header;
            RowTexts rows;
            int open; // the row whose node comes next
        };
        const Step steps[] = {
            {"Alle Jahre", {{"2024", "4 Termine"}, {"2031", "1 Termin"}}, 0},
            {"Jahr 2024", {{"Januar", "3 Termine"}, {QStringLiteral("März"), "1 Termin"}}, 0},
            {"Januar 2024", {{"5. Fr", "2 Termine"}, {"20. Sa", "1 Termin"}}, 1},
            {"Sa 20.Januar 2024", {{"20:00:00", "Konzert"}}, -1},
        };
        for (const Step& step : steps) {
            EXPECT_EQ(ui.RxLabel3->text(), QString::fromUtf8(step.header));
            EXPECT_EQ(Rows(ui.ListView1), step.rows) << step.header;
            if (step.open < 0)
                break;
            ui.ListView1->setCurrentItem(ui.ListView1->topLevelItem(step.open));
            page->ListView1DblClick();
        }
        EXPECT_EQ(page->SelectedKey(), MakeKey(2024, 1, 20));
        EXPECT_TRUE(ui.AddTerminBtn->isEnabled());
    }
    EXPECT_TRUE(boxes.shown().empty()) << boxes.texts().join(QLatin1Char('|')).toStdString();
    dw::SetModuleFileNameForTesting(QString());
}

} // namespace
