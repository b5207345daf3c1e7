// Series: rules against the dates they must give, the due rule on occurrences,
// and the series file read back as it was written. Local time is Europe/Berlin
// (TestMain.cpp).
#include "series/IcalHelper.h"
#include "series/SeriesEdit.h"
#include "series/SeriesReader.h"
#include "series/SeriesSet.h"
#include "series/SeriesWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace dw::series;

namespace {

// A calendar of one event (and its exceptions), as lines without line ends.
SeriesSet Read(const std::string& events)
{
    InstallIcalHelper();
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (std::size_t from = 0; from < events.size();) {
        const std::size_t end = events.find('|', from);
        text += events.substr(from, end == std::string::npos ? std::string::npos : end - from) + "\r\n";
        from = end == std::string::npos ? events.size() : end + 1;
    }
    ReadOutcome read = ReadSeries(text + "END:VCALENDAR\r\n");
    EXPECT_TRUE(read.complete) << read.line << ": " << read.problem;
    return std::move(read.set);
}

std::int64_t Day(int y, int m, int d)
{
    return dw::DaysFromCivil(y, m, d);
}

std::string Text(Wall local)
{
    const dw::CivilDate d = dw::CivilFromDays(DayOf(local));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", d.year, d.month, d.day,
                  SecondOfDay(local) / 3600, SecondOfDay(local) / 60 % 60);
    return text;
}

TEST(SeriesRules, GiveTheirDatesInLocalTime)
{
    struct Case
    {
        const char* name;
        const char* event;
        std::int64_t from, to;
        std::vector<std::string> expected;
    };
    const std::string x = "BEGIN:VEVENT|UID:x|";
    const Case cases[] = {
        {"29 February, yearly: only leap years, and 2100 is none",
         "DTSTART:20000229T090000|RRULE:FREQ=YEARLY|END:VEVENT",
         Day(2092, 1, 1),
         Day(2100, 12, 31),
         {"2092-02-29 09:00", "2096-02-29 09:00"}},
        {"the 31st, monthly: months without one are left out, COUNT counts what is there",
         "DTSTART:20240131T080000|RRULE:FREQ=MONTHLY;COUNT=5|END:VEVENT",
         Day(2024, 1, 1),
         Day(2025, 12, 31),
         {"2024-01-31 08:00", "2024-03-31 08:00", "2024-05-31 08:00", "2024-07-31 08:00",
          "2024-08-31 08:00"}},
        {"floating time keeps its hour across the change to summer time",
         "DTSTART:20240330T093000|RRULE:FREQ=DAILY;COUNT=3|END:VEVENT",
         Day(2024, 3, 1),
         Day(2024, 4, 30),
         {"2024-03-30 09:30", "2024-03-31 09:30", "2024-04-01 09:30"}},
        {"UTC moves by the local change to summer time",
         "DTSTART:20240330T080000Z|RRULE:FREQ=DAILY;COUNT=3|END:VEVENT",
         Day(2024, 3, 1),
         Day(2024, 4, 30),
         {"2024-03-30 09:00", "2024-03-31 10:00", "2024-04-01 10:00"}},
        {"UTC moves back at the change to winter time",
         "DTSTART:20241026T080000Z|RRULE:FREQ=DAILY;UNTIL=20241027T235959Z|END:VEVENT",
         Day(2024, 10, 1),
         Day(2024, 10, 31),
         {"2024-10-26 10:00", "2024-10-27 09:00"}},
        {"this machine's own zone keeps its hour across the change to winter time",
         "DTSTART;TZID=Europe/Berlin:20241026T093000|RRULE:FREQ=DAILY;COUNT=2|END:VEVENT",
         Day(2024, 10, 1),
         Day(2024, 10, 31),
         {"2024-10-26 09:30", "2024-10-27 09:30"}},
        {"New York's change to summer time, two weeks before Berlin's",
         "DTSTART;TZID=America/New_York:20240308T090000|RRULE:FREQ=DAILY;COUNT=3|END:VEVENT",
         Day(2024, 3, 1),
         Day(2024, 3, 31),
         {"2024-03-08 15:00", "2024-03-09 15:00", "2024-03-10 14:00"}},
        {"an excluded date",
         "DTSTART:20240103T100000|RRULE:FREQ=WEEKLY;COUNT=4|EXDATE:20240110T100000|END:VEVENT",
         Day(2024, 1, 1),
         Day(2024, 12, 31),
         {"2024-01-03 10:00", "2024-01-17 10:00", "2024-01-24 10:00"}},
        {"an exception moved to another day and hour",
         "DTSTART:20240103T100000|RRULE:FREQ=WEEKLY;COUNT=3|END:VEVENT|BEGIN:VEVENT|UID:x|"
         "RECURRENCE-ID:20240110T100000|DTSTART:20240112T163000|SUMMARY:verlegt|END:VEVENT",
         Day(2024, 1, 1),
         Day(2024, 12, 31),
         {"2024-01-03 10:00", "2024-01-12 16:30", "2024-01-17 10:00"}},
        {"UNTIL is the last day, every second week",
         "DTSTART:20240103T100000|RRULE:FREQ=WEEKLY;INTERVAL=2;UNTIL=20240131T235959|END:VEVENT",
         Day(2024, 1, 1),
         Day(2024, 12, 31),
         {"2024-01-03 10:00", "2024-01-17 10:00", "2024-01-31 10:00"}},
        {"an extra date beside the rule, once though it is also the rule's",
         "DTSTART:20240103T100000|RRULE:FREQ=WEEKLY;COUNT=2|RDATE:20240105T120000,20240110T100000|END:VEVENT",
         Day(2024, 1, 1),
         Day(2024, 12, 31),
         {"2024-01-03 10:00", "2024-01-05 12:00", "2024-01-10 10:00"}},
        {"a rule beyond the simple form, through libical",
         "DTSTART:20240101T070000|RRULE:FREQ=WEEKLY;BYDAY=MO,WE;COUNT=4|END:VEVENT",
         Day(2024, 1, 1),
         Day(2024, 12, 31),
         {"2024-01-01 07:00", "2024-01-03 07:00", "2024-01-08 07:00", "2024-01-10 07:00"}},
        {"an open series from before 2000 runs to 2100",
         "DTSTART:19700705T000000|RRULE:FREQ=YEARLY|END:VEVENT",
         Day(2099, 1, 1),
         Day(2101, 12, 31),
         {"2099-07-05 00:00", "2100-07-05 00:00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SeriesSet set = Read(x + c.event);
        std::vector<std::string> found;
        for (const Occurrence& o : set.Occurrences(c.from, c.to))
            found.push_back(Text(o.local));
        EXPECT_EQ(found, c.expected);
        EXPECT_EQ(set.Count(c.from, c.to), c.expected.size());
    }
}

TEST(SeriesDue, EachOccurrenceByTheRuleOfAnAppointment)
{
    // Weekly on Wednesdays at 10:00, a lead of three days, a repeat of one.
    const std::string event = "BEGIN:VEVENT|UID:x|DTSTART:20240103T100000|RRULE:FREQ=WEEKLY|"
                              "BEGIN:VALARM|TRIGGER:-P3D|DURATION:P1D|END:VALARM|";
    const double wednesday = static_cast<double>(Day(2024, 1, 10)) + 10.0 / 24;
    struct Case
    {
        const char* name;
        std::string extra;
        double now;
        std::vector<std::string> due;
    };
    const Case cases[] = {
        {"inside the window", "", wednesday - 1, {"2024-01-10 10:00"}},
        {"before the window opens", "", wednesday - 3.5, {}},
        {"at the very moment", "", wednesday, {"2024-01-10 10:00"}},
        {"a moment after it", "", wednesday + 1e-6, {}},
        {"reminded within the repeat interval",
         "X-DATUMSWECKER-REMINDED;X-DATUMSWECKER-OF=20240110T100000:2024-01-09T00:00:00.000|",
         wednesday - 1,
         {}},
        {"done",
         "X-DATUMSWECKER-REMINDED;X-DATUMSWECKER-OF=20240110T100000;X-DATUMSWECKER-DONE=1:0|",
         wednesday - 1,
         {}},
        {"the state of one occurrence leaves the next",
         "X-DATUMSWECKER-REMINDED;X-DATUMSWECKER-OF=20240110T100000;X-DATUMSWECKER-DONE=1:0|",
         wednesday + 5,
         {"2024-01-17 10:00"}},
        {"an excluded occurrence", "EXDATE:20240110T100000|", wednesday - 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SeriesSet set = Read(event + c.extra + "END:VEVENT");
        std::vector<std::string> due;
        for (const Occurrence& o : set.Due(c.now))
            due.push_back(Text(o.local));
        EXPECT_EQ(due, c.due);
    }
}

TEST(SeriesFile, ReadsBackWhatItWrote)
{
    SeriesSet set =
        Read("BEGIN:VEVENT|UID:a|DTSTART;TZID=America/New_York:20240308T090000|"
             "RRULE:FREQ=DAILY;UNTIL=20240320T130000Z|EXDATE;TZID=America/New_York:20240310T090000|"
             "SUMMARY:Zahnarzt\\, Praxis|DESCRIPTION:zwei\\nZeilen|END:VEVENT|"
             "BEGIN:VEVENT|UID:b|DTSTART;VALUE=DATE:20000229|RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29|"
             "SUMMARY:Geburtstag|END:VEVENT");
    ASSERT_EQ(set.size(), 2u);
    EXPECT_EQ(set[0].fields.description, "zwei\r\nZeilen");
    EXPECT_TRUE(set[1].rule->simple()) << "parts that repeat the start keep a rule simple";
    Series& s = set[1];
    SetState(s, s.start, 45000.5, true);
    Exception& e = ExceptionFor(s, WallOf(Day(2004, 2, 29)));
    e.fields.name = "Geburtstag, verschoben";
    e.start = WallOf(Day(2004, 3, 1));
    SetState(s, e.recurrenceId, 45001.25, false);
    const std::string written = WriteSeriesFile(set);
    const ReadOutcome again = ReadSeries(written);
    EXPECT_TRUE(again.complete) << again.problem;
    EXPECT_EQ(again.set.list(), set.list()) << written;
    EXPECT_EQ(WriteSeriesFile(again.set), written);
}

TEST(SeriesFile, KeepsWhatCanBeReadOfADamagedFile)
{
    const ReadOutcome read =
        ReadSeries("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART:20240101T100000\r\n"
                   "RRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\n"
                   "DTSTART:20240231T100000\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:c\r\n");
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.line, 9);
    ASSERT_EQ(read.set.size(), 1u);
    EXPECT_EQ(read.set[0].uid, "a");
}

} // namespace
