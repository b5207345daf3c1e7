// Recurring events imported as series: the export's round trip, and what an
// import makes of hostile, repeated and cancelled ones.
#include "ical/CalendarImport.h"
#include "ical/IcalWriter.h"
#include "series/IcalHelper.h"
#include "series/SeriesReader.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace dw::ical;
using dw::series::SeriesSet;

namespace {

// Events as lines joined by '|', in one calendar.
std::string Lines(const std::string& events)
{
    std::string text;
    for (std::size_t from = 0; from < events.size();) {
        const std::size_t end = events.find('|', from);
        text += events.substr(from, end == std::string::npos ? std::string::npos : end - from) + "\r\n";
        from = end == std::string::npos ? events.size() : end + 1;
    }
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + text + "END:VCALENDAR\r\n";
}

struct Imported
{
    CalendarGrid grid;
    SeriesSet series;
    ImportReport report;
    QString error;
};

void ImportText(Imported& into, const QByteArray& text, const Bounds& bounds = {})
{
    Budget budget(bounds);
    const ReadResult read = ReadCalendar(text, budget, Recurring::AsSeries);
    if (!read.calendar) {
        into.error = read.error.text;
        return;
    }
    into.report = ImportInto(into.grid, into.series, *read.calendar, budget);
}

struct RoundTripCase
{
    const char* name;
    std::string events; // as the series file holds them
};

class SeriesRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(SeriesRoundTrip, ExportThenImportIntoAnEmptyFolderGivesTheSameSeries)
{
    dw::series::InstallIcalHelper();
    const dw::series::ReadOutcome original = dw::series::ReadSeries(Lines(GetParam().events));
    ASSERT_TRUE(original.complete) << original.line << ": " << original.problem;
    CalendarGrid empty;
    empty.Build();
    const QByteArray exported = WriteCalendar(empty, original.set, dwtest::At(2024, 6, 1, 12, 0));

    Imported copy;
    copy.grid.Build();
    ImportText(copy, exported);
    ASSERT_TRUE(copy.error.isEmpty()) << qPrintable(copy.error);
    EXPECT_EQ(copy.report.addedSeries, 1);
    EXPECT_EQ(copy.report.added, 0);
    EXPECT_EQ(copy.series.list(), original.set.list()) << exported.constData();
    EXPECT_EQ(copy.series.zones(), original.set.zones());

    ImportText(copy, exported);
    EXPECT_EQ(copy.report.addedSeries, 0);
    EXPECT_EQ(copy.report.alreadyThere, 1);
    EXPECT_EQ(copy.series.size(), 1u);
}

const std::string Stamp = "DTSTAMP:20240101T000000Z|";

INSTANTIATE_TEST_SUITE_P(
    Rows, SeriesRoundTrip,
    ::testing::Values(
        RoundTripCase{"until", "BEGIN:VEVENT|UID:a|" + Stamp +
                                   "DTSTART:20240101T193000|RRULE:FREQ=WEEKLY;UNTIL=20240603T193000|"
                                   "SUMMARY:Chor|END:VEVENT"},
        RoundTripCase{"count", "BEGIN:VEVENT|UID:b|" + Stamp +
                                   "DTSTART:20240105T080000|RRULE:FREQ=DAILY;INTERVAL=2;COUNT=10|"
                                   "SUMMARY:Kur|DESCRIPTION:Zimmer 4|END:VEVENT"},
        RoundTripCase{"weekday_list", "BEGIN:VEVENT|UID:c|" + Stamp +
                                          "DTSTART:20240101T070000|RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR|"
                                          "SUMMARY:Laufen|END:VEVENT"},
        RoundTripCase{"rdate", "BEGIN:VEVENT|UID:d|" + Stamp +
                                   "DTSTART:20240301T090000|RRULE:FREQ=MONTHLY|RDATE:20240315T090000|"
                                   "SUMMARY:Miete|END:VEVENT"},
        RoundTripCase{"exdate", "BEGIN:VEVENT|UID:e|" + Stamp +
                                    "DTSTART:20240101T100000|RRULE:FREQ=WEEKLY|EXDATE:20240108T100000|"
                                    "SUMMARY:Kurs|END:VEVENT"},
        RoundTripCase{"moved_exception",
                      "BEGIN:VEVENT|UID:f|" + Stamp +
                          "DTSTART:20240101T100000|RRULE:FREQ=WEEKLY;COUNT=5|SUMMARY:Kurs|END:VEVENT|"
                          "BEGIN:VEVENT|UID:f|" +
                          Stamp +
                          "RECURRENCE-ID:20240108T100000|DTSTART:20240110T120000|SUMMARY:Verlegt|"
                          "X-DATUMSWECKER-DONE:1|END:VEVENT"},
        RoundTripCase{"zone", "BEGIN:VEVENT|UID:g|" + Stamp +
                                  "DTSTART;TZID=America/New_York:20240101T090000|RRULE:FREQ=WEEKLY|"
                                  "EXDATE;TZID=America/New_York:20240311T090000|SUMMARY:Call|END:VEVENT"},
        RoundTripCase{"birthday",
                      "BEGIN:VEVENT|UID:h|" + Stamp +
                          "DTSTART;VALUE=DATE:19800229|RRULE:FREQ=YEARLY|SUMMARY:Geburtstag|"
                          "X-DATUMSWECKER-REMINDED;X-DATUMSWECKER-OF=20240229;X-DATUMSWECKER-DONE=1:"
                          "2024-02-26T08:00:00.000|END:VEVENT"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ImportCase
{
    const char* name;
    std::string events;
    int series;
    int added;
    int alreadyThere;
    bool refused = false;
};

class SeriesImport : public ::testing::TestWithParam<ImportCase>
{
};

// A store that already holds one series, UID "there", weekly from 1 January 2024 at 10:00, "Kurs".
TEST_P(SeriesImport, KeepsTheBoundsAndAddsNothingTwice)
{
    const ImportCase& c = GetParam();
    Imported store;
    store.grid.Build();
    ImportText(store, QByteArray::fromStdString(
                          Lines("BEGIN:VEVENT|UID:there|DTSTART:20240101T100000|RRULE:FREQ=WEEKLY|"
                                "SUMMARY:Kurs|END:VEVENT")));
    ASSERT_EQ(store.series.size(), 1u);
    Bounds bounds;
    bounds.added = 3;
    ImportText(store, QByteArray::fromStdString(Lines(c.events)), bounds);
    ASSERT_TRUE(store.error.isEmpty()) << qPrintable(store.error);
    EXPECT_EQ(!store.report.refused.isEmpty(), c.refused) << qPrintable(store.report.refused);
    EXPECT_EQ(static_cast<int>(store.series.size()) - 1, c.series);
    EXPECT_EQ(store.report.addedSeries, c.series);
    EXPECT_EQ(store.report.added, c.added);
    EXPECT_EQ(store.report.alreadyThere, c.alreadyThere);
}

const std::string Weekly = "DTSTART:20240102T100000|RRULE:FREQ=WEEKLY|SUMMARY:Kurs|";

INSTANTIATE_TEST_SUITE_P(
    Rows, SeriesImport,
    ::testing::Values(
        ImportCase{"same_uid", "BEGIN:VEVENT|UID:there|" + Weekly + "END:VEVENT", 0, 0, 1},
        ImportCase{
            "same_start_rule_and_name_under_another_uid",
            "BEGIN:VEVENT|UID:other|DTSTART:20240101T100000|RRULE:FREQ=WEEKLY|SUMMARY: Kurs |END:VEVENT", 0,
            0, 1},
        ImportCase{"twice_in_the_file",
                   "BEGIN:VEVENT|UID:x|" + Weekly + "END:VEVENT|BEGIN:VEVENT|UID:x|" + Weekly + "END:VEVENT",
                   1, 0, 1},
        ImportCase{"change_of_no_occurrence_stays_an_appointment",
                   "BEGIN:VEVENT|UID:x|" + Weekly +
                       "END:VEVENT|BEGIN:VEVENT|UID:x|RECURRENCE-ID:20240103T100000|DTSTART:20240103T120000|"
                       "SUMMARY:Extra|END:VEVENT",
                   1, 1, 0},
        ImportCase{"every_minute_stays_appointments",
                   "BEGIN:VEVENT|UID:m|DTSTART:20240101T000000|RRULE:FREQ=MINUTELY;COUNT=3|END:VEVENT", 0, 3,
                   0},
        ImportCase{"every_minute_without_end_is_refused_at_the_bound",
                   "BEGIN:VEVENT|UID:m|DTSTART:20240101T000000|RRULE:FREQ=MINUTELY;COUNT=2000000000|"
                   "END:VEVENT",
                   0, 0, 0, true},
        ImportCase{"rule_before_2000_only",
                   "BEGIN:VEVENT|UID:o|DTSTART:19900101T100000|"
                   "RRULE:FREQ=WEEKLY;BYDAY=MO,TU;UNTIL=19950101T000000Z|END:VEVENT",
                   0, 0, 0},
        ImportCase{"more_series_than_the_bound_adds_none",
                   "BEGIN:VEVENT|UID:1|" + Weekly + "END:VEVENT|BEGIN:VEVENT|UID:2|DTSTART:20240103T100000|" +
                       "RRULE:FREQ=DAILY|END:VEVENT|BEGIN:VEVENT|UID:3|DTSTART:20240104T100000|" +
                       "RRULE:FREQ=DAILY|END:VEVENT|BEGIN:VEVENT|UID:4|DTSTART:20240105T100000|" +
                       "RRULE:FREQ=DAILY|END:VEVENT",
                   0, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SeriesImport, ACancelledOccurrenceBecomesAnExcludedDate)
{
    Imported store;
    store.grid.Build();
    ImportText(store,
               QByteArray::fromStdString(Lines(
                   "BEGIN:VEVENT|UID:x|" + Weekly +
                   "END:VEVENT|BEGIN:VEVENT|UID:x|RECURRENCE-ID:20240109T100000|DTSTART:20240109T100000|"
                   "STATUS:CANCELLED|END:VEVENT")));
    ASSERT_EQ(store.series.size(), 1u);
    const dw::series::Series& s = store.series[0];
    EXPECT_TRUE(s.exceptions.empty());
    EXPECT_EQ(s.exdates,
              std::vector<dw::series::Wall>{dw::series::WallOf(dw::DaysFromCivil(2024, 1, 9), 36000)});
}

} // namespace
