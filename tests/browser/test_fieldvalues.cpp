// Splitting stored values into the edit fields and making them again.
#include "TestSupport.h"
#include "browser/FieldValues.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(FieldValuesTest, DurationsSplitSoThatTheFieldsGiveThemBack)
{
    struct Case
    {
        double value;
        DaysHoursMinutes fields;
    };
    const Case cases[] = {
        {3.0, {3, 0, 0}},
        {1.0, {1, 0, 0}},
        {0.0, {0, 0, 0}},
        {-2.0, {-2, 0, 0}},
        {1.75, {1, 18, 0}},
        {2 + dw::EncodeTime(23, 59), {2, 23, 59}},
        {-2 + dw::EncodeTime(6, 0), {-2, 6, 0}}, // -1.75 days
        {-1 + dw::EncodeTime(23, 59), {-1, 23, 59}},
    };
    for (const Case& c : cases) {
        const DaysHoursMinutes split = SplitDuration(c.value);
        EXPECT_EQ(split, c.fields) << c.value;
        EXPECT_DOUBLE_EQ(ComposeDuration(split.days, split.hours, split.minutes), c.value) << c.value;
    }
    // Seconds have no field; they are dropped, not rounded.
    EXPECT_EQ(SplitDuration(dw::EncodeTime(0, 1, 59)), (DaysHoursMinutes{0, 0, 1}));
}

TEST(FieldValuesTest, EveryFieldCombinationSurvivesARoundTrip)
{
    for (int days : {-400, -1, 0, 1, 3, 1000})
        for (int hours = 0; hours < 24; ++hours)
            for (int minutes = 0; minutes < 60; ++minutes) {
                const DaysHoursMinutes fields{days, hours, minutes};
                ASSERT_EQ(SplitDuration(ComposeDuration(days, hours, minutes)), fields)
                    << days << " " << hours << " " << minutes;
            }
}

TEST(FieldValuesTest, ValuesBeyondTheFieldsDoNotBreakTheSplit)
{
    EXPECT_EQ(SplitDuration(1e300).days, std::numeric_limits<int>::max());
    EXPECT_EQ(SplitDuration(-1e300).days, std::numeric_limits<int>::min());
    EXPECT_EQ(SplitDuration(std::numeric_limits<double>::quiet_NaN()), DaysHoursMinutes{});
}

TEST(FieldValuesTest, TimesOutsideTheDayAreRefused)
{
    for (const auto& [hours, minutes] : {std::pair{24, 0}, {75, 0}, {-1, 0}, {0, 60}, {0, -1}}) {
        try {
            ComposeDuration(0, hours, minutes);
            ADD_FAILURE() << hours << ":" << minutes;
        } catch (const dw::EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to time encode");
        }
    }
    EXPECT_DOUBLE_EQ(ComposeDuration(0, 23, 59), 1439.0 / 1440);
}

TEST(FieldValuesTest, TimeOfDaySplitsIntoHoursAndMinutes)
{
    int h = -1, m = -1;
    SplitTimeOfDay(0.5, h, m);
    EXPECT_EQ(std::pair(h, m), std::pair(12, 0));
    SplitTimeOfDay(dw::EncodeTime(23, 59, 59, 999), h, m);
    EXPECT_EQ(std::pair(h, m), std::pair(23, 59));
}

TEST(FieldValuesTest, RemindedTextUsesTheRegionalFormats)
{
    dwtest::GermanFormats formats;
    EXPECT_EQ(RemindedText(0.0), QStringLiteral("Erinnert: nie"));
    EXPECT_EQ(RemindedText(dwtest::At(2024, 1, 5, 8, 30)), QStringLiteral("Erinnert: 05.01.2024; 08:30:00"));
}

TEST(FieldValuesTest, LineBreaksAreStoredAsCrLf)
{
    EXPECT_EQ(ToEditText(QStringLiteral("a\r\nb\r\n")), QStringLiteral("a\nb\n"));
    EXPECT_EQ(FromEditText(QStringLiteral("a\nb\n")), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(FromEditText(ToEditText(QStringLiteral("x\r\n\r\ny"))), QStringLiteral("x\r\n\r\ny"));
}

} // namespace
