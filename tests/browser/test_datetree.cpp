// The date tree's nodes, keys and weekdays, without a view.
#include "browser/DateKey.h"
#include "browser/DateTreeModel.h"
#include "store/CalendarGrid.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

class DateTreeTest : public ::testing::Test
{
protected:
    DateTreeTest() : model(grid)
    {
        grid.Build();
        FillWeekdays(grid);
        model.Build();
    }

    // The node found by position alone: root, then year - 2000, month - 1, day - 1.
    QModelIndex NodeAt(int year = 0, int month = 0, int day = 0) const
    {
        QModelIndex index = model.index(0, 0);
        if (year)
            index = model.index(year - 2000, 0, index);
        if (month)
            index = model.index(month - 1, 0, index);
        if (day)
            index = model.index(day - 1, 0, index);
        return index;
    }

    CalendarGrid grid;
    DateTreeModel model;
};

TEST(DateKeyTest, DecodesEveryLevel)
{
    struct Case
    {
        quint32 key;
        int year, month, day;
        NodeLevel level;
    };
    const Case cases[] = {
        {0, 0, 0, 0, NodeLevel::Root},
        {832000, 2000, 0, 0, NodeLevel::Year},
        {832032, 2000, 1, 0, NodeLevel::Month},
        {832033, 2000, 1, 1, NodeLevel::Day},
        {874015, 2100, 12, 31, NodeLevel::Day},
        {MakeKey(2024, 12), 2024, 12, 0, NodeLevel::Month},
        {MakeKey(2100), 2100, 0, 0, NodeLevel::Year},
    };
    for (const Case& c : cases) {
        const DateKey date = DecodeKey(c.key);
        EXPECT_EQ(date.year, c.year) << c.key;
        EXPECT_EQ(date.month, c.month) << c.key;
        EXPECT_EQ(date.day, c.day) << c.key;
        EXPECT_EQ(date.level(), c.level) << c.key;
        EXPECT_EQ(MakeKey(c.year, c.month, c.day), c.key);
    }
}

TEST_F(DateTreeTest, NodesReadAsTheirDates)
{
    struct Case
    {
        int year, month, day;
        const char* text;
        quint32 key;
        int image;
    };
    const Case cases[] = {
        {0, 0, 0, "Jahre", 0, DateTreeModel::ImageRoot},
        {2000, 0, 0, "2000", 832000, DateTreeModel::ImageYear},
        {2000, 1, 0, "Januar", 832032, DateTreeModel::ImageMonth},
        {2000, 1, 1, "1. Sa", 832033, DateTreeModel::ImageDay},
        {2000, 2, 29, "29. Di", MakeKey(2000, 2, 29), DateTreeModel::ImageDay},
        {2024, 1, 5, "5. Fr", MakeKey(2024, 1, 5), DateTreeModel::ImageDay},
        {2024, 3, 0, "März", MakeKey(2024, 3), DateTreeModel::ImageMonth},
        {2100, 2, 28, "28. So", MakeKey(2100, 2, 28), DateTreeModel::ImageDay},
        {2100, 12, 31, "31. Fr", 874015, DateTreeModel::ImageDay},
    };
    for (const Case& c : cases) {
        const QModelIndex node = NodeAt(c.year, c.month, c.day);
        ASSERT_TRUE(node.isValid()) << c.text;
        EXPECT_EQ(node.data().toString(), QString::fromUtf8(c.text));
        EXPECT_EQ(node.data(DateTreeModel::KeyRole).toUInt(), c.key) << c.text;
        EXPECT_EQ(node.data(DateTreeModel::ImageIndexRole).toInt(), c.image) << c.text;
        EXPECT_EQ(model.IndexOfKey(c.key), node) << c.text;
        EXPECT_FALSE(model.flags(node) & Qt::ItemIsEditable) << c.text;
    }
}

TEST_F(DateTreeTest, ShapeFollowsTheCalendar)
{
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(NodeAt()), 101);
    EXPECT_EQ(model.rowCount(NodeAt(2024)), 12);
    EXPECT_EQ(model.rowCount(NodeAt(2000, 2)), 29);
    EXPECT_EQ(model.rowCount(NodeAt(2100, 2)), 28);
    EXPECT_EQ(model.rowCount(NodeAt(2023, 4)), 30);
    EXPECT_EQ(model.rowCount(NodeAt(2000, 1, 1)), 0);
    EXPECT_FALSE(model.hasChildren(NodeAt(2000, 1, 1)));
    EXPECT_FALSE(NodeAt(2000, 2, 30).isValid());
    EXPECT_FALSE(model.index(101, 0, NodeAt()).isValid());
    EXPECT_FALSE(model.index(1, 0).isValid());

    // Every node's parent is the node it was found under; 38,204 nodes in all.
    int nodes = 1;
    const QModelIndex root = NodeAt();
    EXPECT_FALSE(root.parent().isValid());
    for (int y = 0; y < model.rowCount(root); ++y) {
        const QModelIndex year = model.index(y, 0, root);
        ASSERT_EQ(year.parent(), root);
        ++nodes;
        for (int m = 0; m < model.rowCount(year); ++m) {
            const QModelIndex month = model.index(m, 0, year);
            ASSERT_EQ(month.parent(), year);
            ++nodes;
            for (int d = 0; d < model.rowCount(month); ++d) {
                const QModelIndex day = model.index(d, 0, month);
                ASSERT_EQ(day.parent(), month);
                ASSERT_EQ(DateTreeModel::KeyOf(day), MakeKey(2000 + y, m + 1, d + 1));
                ++nodes;
            }
        }
    }
    EXPECT_EQ(nodes, 38204);
}

TEST(DateTreeModelTest, EmptyUntilBuilt)
{
    CalendarGrid grid;
    DateTreeModel model(grid);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).isValid());
    EXPECT_FALSE(model.IndexOfKey(0).isValid());
}

TEST_F(DateTreeTest, SelectedNodeShowsTheArrowWhateverItsLevel)
{
    for (const quint32 key : {0u, MakeKey(2024), MakeKey(2024, 1), MakeKey(2024, 1, 5)}) {
        model.setSelectedKey(key);
        EXPECT_EQ(model.IndexOfKey(key).data(DateTreeModel::ImageIndexRole).toInt(),
                  DateTreeModel::ImageSelected);
    }
    // The node selected before gets its own picture back.
    EXPECT_EQ(model.IndexOfKey(MakeKey(2024, 1)).data(DateTreeModel::ImageIndexRole).toInt(),
              DateTreeModel::ImageMonth);
    model.setSelectedKey(std::nullopt);
    EXPECT_EQ(model.IndexOfKey(MakeKey(2024, 1, 5)).data(DateTreeModel::ImageIndexRole).toInt(),
              DateTreeModel::ImageDay);
}

TEST(WeekdayTest, EveryDayGetsItsWeekday)
{
    CalendarGrid grid;
    grid.Build();
    FillWeekdays(grid);
    static const char* const Names[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    int days = 0;
    grid.ForEachDay([&](int y, int m, int d, DayList& day) {
        ++days;
        ASSERT_STREQ(day.Weekday, Names[QDate(y, m, d).dayOfWeek() - 1]) << y << "-" << m << "-" << d;
    });
    EXPECT_EQ(days, 36890);
}

} // namespace
