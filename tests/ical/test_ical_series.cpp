// Recurring events imported as series: the export's round trip, and what an import makes of hostile ones.
#include "ical/CalendarImport.h"
#include "ical/IcalWriter.h"
#include "series/IcalHelper.h"
#include "series/SeriesReader.h"
#include "series/SeriesWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace dw::ical;
using dw::series::SeriesSet;

namespace {

// Events as lines joined by '|', in one calendar.
std::string Lines(const std::string& events)
{
    QByteArray text = "BEGIN:VCALENDAR|VERSION:2.0|" + QByteArray(events.c_str()) + "|END:VCALENDAR|";
    return text.replace('|', "\r\n").toStdString();
}

struct Imported
{
    Imported() { grid.Build(); }
    CalendarGrid grid;
    SeriesSet series;
    ImportReport report;

    void add(const std::string& text, const Bounds& bounds = {})
    {
        Budget budget(bounds);
        const ReadResult read = ReadCalendar(QByteArray::fromStdString(text), budget, Recurring::AsSeries);
        ASSERT_TRUE(read.calendar) << qPrintable(read.error.text);
        report = ImportInto(grid, series, *read.calendar, budget);
    }
};

// A row's name, and its events as the series file holds them.
using RoundTripCase = std::pair<const char*, std::string>;
class SeriesRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(SeriesRoundTrip, ExportThenImportIntoAnEmptyFolderGivesTheSameSeries)
{
    dw::series::InstallIcalHelper();
    const dw::series::ReadOutcome original = dw::series::ReadSeries(Lines(GetParam().second));
    ASSERT_TRUE(original.complete) << original.line << ": " << original.problem;
    Imported copy;
    const QByteArray exported = WriteCalendar(copy.grid, original.set, dwtest::At(2024, 6, 1, 12, 0));
    copy.add(exported.toStdString());
    EXPECT_EQ(copy.report.addedSeries, 1);
    EXPECT_EQ(copy.series.list(), original.set.list()) << exported.constData();
    EXPECT_EQ(copy.series.zones(), original.set.zones());
}

const std::string Stamp = "DTSTAMP:20240101T000000Z|";

INSTANTIATE_TEST_SUITE_P(
    Rows, SeriesRoundTrip,
    ::testing::Values(
        RoundTripCase("until", "BEGIN:VEVENT|UID:a|" + Stamp +
                                   "DTSTART:20240101T193000|RRULE:FREQ=WEEKLY;UNTIL=20240603T193000|"
                                   "SUMMARY:Chor|END:VEVENT"),
        RoundTripCase("count", "BEGIN:VEVENT|UID:b|" + Stamp +
                                   "DTSTART:20240105T080000|RRULE:FREQ=DAILY;INTERVAL=2;COUNT=10|"
                                   "SUMMARY:Kur|DESCRIPTION:Zimmer 4|END:VEVENT"),
        RoundTripCase("weekday_list", "BEGIN:VEVENT|UID:c|" + Stamp +
                                          "DTSTART:20240101T070000|RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR|"
                                          "SUMMARY:Laufen|END:VEVENT"),
        RoundTripCase("rdate_and_exdate",
                      "BEGIN:VEVENT|UID:d|" + Stamp +
                          "DTSTART:20240301T090000|RRULE:FREQ=MONTHLY|RDATE:20240315T090000|"
                          "EXDATE:20240401T090000|SUMMARY:Miete|END:VEVENT"),
        RoundTripCase("moved_exception",
                      "BEGIN:VEVENT|UID:f|" + Stamp +
                          "DTSTART:20240101T100000|RRULE:FREQ=WEEKLY;COUNT=5|SUMMARY:Kurs|END:VEVENT|"
                          "BEGIN:VEVENT|UID:f|" +
                          Stamp +
                          "RECURRENCE-ID:20240108T100000|DTSTART:20240110T120000|SUMMARY:Verlegt|"
                          "X-DATUMSWECKER-DONE:1|END:VEVENT"),
        RoundTripCase("zone", "BEGIN:VEVENT|UID:g|" + Stamp +
                                  "DTSTART;TZID=America/New_York:20240101T090000|RRULE:FREQ=WEEKLY|"
                                  "EXDATE;TZID=America/New_York:20240311T090000|SUMMARY:Call|END:VEVENT"),
        RoundTripCase("birthday",
                      "BEGIN:VEVENT|UID:h|" + Stamp +
                          "DTSTART;VALUE=DATE:19800229|RRULE:FREQ=YEARLY|SUMMARY:Geburtstag|"
                          "X-DATUMSWECKER-REMINDED;X-DATUMSWECKER-OF=20240229;X-DATUMSWECKER-DONE=1:"
                          "2024-02-26T08:00:00.000|END:VEVENT")),
    [](const auto& info) { return std::string(info.param.first); });

struct ImportCase
{
    const char* name;
    std::string events;
    int series;
    int added;
    int alreadyThere;
    bool refused = false;
    std::size_t exdates = 0; // of the last series
};

class SeriesImport : public ::testing::TestWithParam<ImportCase>
{
};

// Into a store that already holds one series, UID "there", weekly from 1 January 2024 at 10:00, "Kurs".
TEST_P(SeriesImport, KeepsTheBoundsAndAddsNothingTwice)
{
    const ImportCase& c = GetParam();
    Imported store;
    store.add(
        Lines("BEGIN:VEVENT|UID:there|DTSTART:20240101T100000|RRULE:FREQ=WEEKLY|SUMMARY:Kurs|END:VEVENT"));
    Bounds bounds;
    bounds.added = 3;
    store.add(Lines(c.events), bounds);
    EXPECT_EQ(!store.report.refused.isEmpty(), c.refused) << qPrintable(store.report.refused);
    EXPECT_EQ(store.series.size(), 1u + c.series);
    EXPECT_EQ(store.report.addedSeries, c.series);
    EXPECT_EQ(store.report.added, c.added);
    EXPECT_EQ(store.report.alreadyThere, c.alreadyThere);
    const dw::series::Series& last = store.series.list().back();
    EXPECT_EQ(last.exdates.size(), c.exdates);
    EXPECT_EQ(dw::series::WriteSeriesEvents(last).find("00000000"), std::string::npos);
}

const std::string Weekly =
    "BEGIN:VEVENT|UID:x|DTSTART:20240102T100000|RRULE:FREQ=WEEKLY|SUMMARY:Kurs|END:VEVENT|";
const std::string Daily = "RRULE:FREQ=DAILY|END:VEVENT|BEGIN:VEVENT|";

INSTANTIATE_TEST_SUITE_P(
    Rows, SeriesImport,
    ::testing::Values(
        ImportCase{"same_uid", "BEGIN:VEVENT|UID:there|DTSTART:20240102T100000|RRULE:FREQ=DAILY|END:VEVENT",
                   0, 0, 1},
        ImportCase{"same_start_rule_and_name_under_another_uid",
                   "BEGIN:VEVENT|UID:y|DTSTART:20240101T100000|RRULE:FREQ=WEEKLY|SUMMARY: Kurs |END:VEVENT",
                   0, 0, 1},
        ImportCase{"twice_in_the_file", Weekly + Weekly, 1, 0, 1},
        ImportCase{"cancelled_occurrence_is_an_excluded_date",
                   Weekly + "BEGIN:VEVENT|UID:x|RECURRENCE-ID:20240109T100000|DTSTART:20240109T100000|"
                            "STATUS:CANCELLED|END:VEVENT",
                   1, 0, 0, false, 1},
        ImportCase{"change_of_no_occurrence_stays_an_appointment",
                   Weekly + "BEGIN:VEVENT|UID:x|RECURRENCE-ID:20240103T100000|DTSTART:20240103T120000|"
                            "SUMMARY:Extra|END:VEVENT",
                   1, 1, 0},
        ImportCase{
            "every_minute_without_end_is_refused_at_the_bound",
            "BEGIN:VEVENT|UID:m|DTSTART:20240101T000000|RRULE:FREQ=MINUTELY;COUNT=2000000000|END:VEVENT", 0,
            0, 0, true},
        // libical writes nothing after 3000: a later end is no end, later dates none, so the file keeps it.
        ImportCase{"moments_after_3000_are_left_out",
                   "BEGIN:VEVENT|UID:f|DTSTAMP:60240101T000000Z|DTSTART:20240102T090000|RRULE:FREQ=DAILY;"
                   "UNTIL=50000101T000000Z|EXDATE:20240103T090000,40000103T090000|END:VEVENT",
                   1, 0, 0, false, 1},
        ImportCase{"more_series_than_the_bound_adds_none",
                   "BEGIN:VEVENT|UID:1|DTSTART:20240103T100000|" + Daily + "UID:2|DTSTART:20240104T100000|" +
                       Daily + "UID:3|DTSTART:20240105T100000|" + Daily +
                       "UID:4|DTSTART:20240106T100000|RRULE:FREQ=DAILY|END:VEVENT",
                   0, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
