#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/RegionalFormats.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dw;

TEST(DateTime, EncodesDatesAsDaysSince1899)
{
    struct Case
    {
        int y, m, d;
        double expected;
    };
    const Case cases[] = {
        {1899, 12, 30, 0}, {2000, 1, 1, 36526}, {2024, 3, 5, 45356}, {2100, 12, 31, 73415}, {2000, 2, 29, 36585},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_THROW(EncodeDate(2100, 2, 29), EConvertError);
}

TEST(DateTime, EncodeTimeAcceptsOnlyClockValues)
{
    EXPECT_EQ(EncodeTime(12, 0), 0.5);
    EXPECT_EQ(EncodeTime(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59), 1439.0 / 1440.0);
    EXPECT_DOUBLE_EQ(EncodeTime(14, 30), (14 * 3600000.0 + 30 * 60000.0) / 86400000.0);
    for (auto [h, m] : {std::pair{24, 0}, {-1, 0}, {0, 60}, {0, -1}, {75, 0}}) {
        try {
            EncodeTime(h, m);
            ADD_FAILURE() << h << ":" << m << " was accepted";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to time encode");
        }
    }
}

TEST(DateTime, DecodeSplitsDateAndTimeBackExactly)
{
    // Every whole minute of a day survives encode and decode.
    for (int minute = 0; minute < 1440; ++minute) {
        int h, m, s, ms;
        DecodeTime(45356 + EncodeTime(minute / 60, minute % 60), h, m, s, ms);
        ASSERT_EQ(h * 60 + m, minute);
        ASSERT_EQ(s, 0);
        ASSERT_EQ(ms, 0);
    }
    int y, mo, d;
    DecodeDate(45356.6041666, y, mo, d);
    EXPECT_EQ(QDate(y, mo, d), QDate(2024, 3, 5));
    EXPECT_EQ(ToQDateTime(dwtest::At(2030, 12, 24, 18, 30, 15, 250)),
              QDateTime(QDate(2030, 12, 24), QTime(18, 30, 15, 250)));
}

// The ISO text of a moment is what Qt writes for it, at the ends of Qt's years and
// of a day, before 1899 and where Qt writes nothing.
TEST(DateTime, IsoMomentIsWhatQtWrites)
{
    const QDate dayZero(1899, 12, 30);
    for (const double moment : {0.0, 45356.6041666, 45356.99999999, -0.25, -1.5, -693593.0, -693593.5,
                                2958465.9999999, 2958466.0, 1e300, std::nan("")}) {
        QString qt;
        if (std::isfinite(moment) && std::fabs(moment) < 1e7) {
            const qint64 ms = std::llround(moment * MSecsPerDay);
            const qint64 days = ms / 86400000 - (ms % 86400000 < 0 ? 1 : 0);
            qt = QDateTime(dayZero.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms - days * 86400000)))
                     .toString(Qt::ISODateWithMs);
        }
        EXPECT_EQ(QString::fromStdString(IsoMoment(moment)), qt) << moment;
    }
}

TEST(RegionalFormats, GermanPatternsGiveTheUsualTexts)
{
    dwtest::GermanFormats german;
    EXPECT_EQ(FormatShortDate(dwtest::At(2024, 1, 5, 8, 30)), QStringLiteral("05.01.2024"));
    EXPECT_EQ(FormatLongTime(dwtest::At(2024, 1, 5, 8, 30)), QStringLiteral("08:30:00"));
    EXPECT_EQ(FormatLongTime(0.5), QStringLiteral("12:00:00"));
    EXPECT_EQ(FormatLongTime(EncodeTime(23, 59)), QStringLiteral("23:59:00"));
}

TEST(RegionalFormats, OtherPatternsAreHonoured)
{
    SetFormats({QStringLiteral("%m/%d/%y"), QStringLiteral("%I:%M:%S %p")});
    EXPECT_EQ(FormatShortDate(dwtest::At(2024, 1, 5)), QStringLiteral("01/05/24"));
    EXPECT_EQ(FormatLongTime(EncodeTime(14, 5)), QStringLiteral("02:05:00 PM"));
    ResetFormats();
}
