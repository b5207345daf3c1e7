// What the appointment list shows for each level of the tree.
#include "TestSupport.h"
#include "browser/ListRows.h"
#include "store/CalendarGrid.h"

#include <gtest/gtest.h>

namespace {

class ListRowsTest : public ::testing::Test
{
protected:
    ListRowsTest()
    {
        grid.Build();
        FillWeekdays(grid);
    }

    Appointment* Add(int y, int m, int d, const char* name, int hour = 12, int minute = 0)
    {
        Appointment* a = grid.NewAppointment(y, m, d);
        ReplaceText(a->Name, QByteArray(name));
        a->TimeOfDay = dw::EncodeTime(hour, minute);
        return a;
    }

    static std::vector<ListRow> Rows(std::initializer_list<ListRow> rows) { return rows; }

    dwtest::GermanFormats formats;
    CalendarGrid grid;
};

const ListRow Placeholder{QString(), QStringLiteral("Keine Termine..."), {}};

TEST(CountTextTest, OneIsSingular)
{
    EXPECT_EQ(CountText(0), QStringLiteral("0 Termine"));
    EXPECT_EQ(CountText(1), QStringLiteral("1 Termin"));
    EXPECT_EQ(CountText(2), QStringLiteral("2 Termine"));
    EXPECT_EQ(CountText(21), QStringLiteral("21 Termine"));
}

TEST_F(ListRowsTest, EmptyLevelsShowHeaderAndPlaceholder)
{
    struct Case
    {
        quint32 key;
        const char* header;
        NodeLevel level;
    };
    const Case cases[] = {
        {0, "Alle Jahre", NodeLevel::Root},
        {MakeKey(2024), "Jahr 2024", NodeLevel::Year},
        {MakeKey(2024, 3), "März 2024", NodeLevel::Month},
        {MakeKey(2024, 1, 5), "Fr 5.Januar 2024", NodeLevel::Day},
        {MakeKey(2000, 1, 1), "Sa 1.Januar 2000", NodeLevel::Day},
        {MakeKey(2100, 12, 31), "Fr 31.Dezember 2100", NodeLevel::Day},
    };
    for (const Case& c : cases) {
        const ListContent content = ListRowsFor(grid, c.key);
        EXPECT_EQ(content.header, QString::fromUtf8(c.header));
        EXPECT_EQ(content.level, c.level) << c.header;
        EXPECT_EQ(content.rows, Rows({Placeholder})) << c.header;
    }
}

TEST_F(ListRowsTest, SummariesCountAppointmentsPerNode)
{
    Add(2024, 1, 5, "A");
    Add(2024, 1, 5, "B");
    Add(2024, 1, 20, "C");
    Add(2024, 3, 1, "D");
    Add(2100, 12, 31, "E");

    EXPECT_EQ(ListRowsFor(grid, 0).rows,
              Rows({{"2024", "4 Termine", MakeKey(2024)}, {"2100", "1 Termin", MakeKey(2100)}}));
    EXPECT_EQ(ListRowsFor(grid, MakeKey(2024)).rows,
              Rows({{"Januar", "3 Termine", MakeKey(2024, 1)},
                    {QStringLiteral("März"), "1 Termin", MakeKey(2024, 3)}}));
    EXPECT_EQ(ListRowsFor(grid, MakeKey(2024, 1)).rows, Rows({{"5. Fr", "2 Termine", MakeKey(2024, 1, 5)},
                                                              {"20. Sa", "1 Termin", MakeKey(2024, 1, 20)}}));
    EXPECT_EQ(ListRowsFor(grid, MakeKey(2024, 2)).rows, Rows({Placeholder}));
    EXPECT_EQ(ListRowsFor(grid, MakeKey(2024, 1, 6)).rows, Rows({Placeholder}));
}

TEST_F(ListRowsTest, DayListsAppointmentsInTheOrderTheyWereAdded)
{
    Add(2024, 1, 5, "Zuerst", 14, 0);
    Add(2024, 1, 5, "Danach", 9, 0);
    Add(2024, 1, 5, "Mitternacht", 0, 0);
    const ListContent content = ListRowsFor(grid, MakeKey(2024, 1, 5));
    EXPECT_EQ(content.header, QStringLiteral("Fr 5.Januar 2024"));
    EXPECT_EQ(
        content.rows,
        Rows({{"14:00:00", "Zuerst", {}}, {"09:00:00", "Danach", {}}, {"00:00:00", "Mitternacht", {}}}));
}

TEST_F(ListRowsTest, NamesAreShownFromTheirStoredCodePage)
{
    Appointment* a = Add(2024, 1, 5, "");
    ReplaceText(a->Name, QByteArray("\xE4\xF6\xFC\xDF\x80"));
    EXPECT_EQ(ListRowsFor(grid, MakeKey(2024, 1, 5)).rows.at(0).what, QStringLiteral("äöüß€"));
}

} // namespace
