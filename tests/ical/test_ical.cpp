#include "ical/CalendarImport.h"
#include "ical/IcalEvents.h"
#include "ical/IcalWriter.h"
#include "tests/support/TestSupport.h"

#include "platform/Ansi.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

using namespace dw::ical;

namespace {

// These calendars are read with their occurrences as appointments: no series.
ImportReport Import(CalendarGrid& grid, const ImportedCalendar& calendar)
{
    dw::series::SeriesSet none;
    return ImportInto(grid, none, calendar);
}

QByteArray IcsFile(const char* name)
{
    QFile file(dwtest::SourceDir() + QStringLiteral("/tests/data/ics/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// "2024-03-05 14:30 Name" for each appointment read.
QStringList Summary(const ImportedCalendar& calendar)
{
    QStringList out;
    for (const ImportedAppointment& a : calendar.appointments)
        out << QStringLiteral("%1 %2:%3 %4")
                   .arg(a.date.toString(Qt::ISODate))
                   .arg(a.hour, 2, 10, QLatin1Char('0'))
                   .arg(a.minute, 2, 10, QLatin1Char('0'))
                   .arg(a.name);
    return out;
}

struct FileCase
{
    const char* file;
    QStringList expected;
    int outsideRange = 0;
    int cancelled = 0;
};

// The tests run in Europe/Berlin; UTC and foreign zones arrive in its local time.
class IcalFileTest : public ::testing::TestWithParam<FileCase>
{
};

TEST_P(IcalFileTest, ReadsWhatEachProducerMeant)
{
    const FileCase& c = GetParam();
    const ReadResult read = ReadCalendar(IcsFile(c.file));
    ASSERT_TRUE(read.calendar) << c.file << ": " << read.error.line << " " << qPrintable(read.error.text);
    EXPECT_EQ(Summary(*read.calendar), c.expected);
    EXPECT_EQ(read.calendar->outsideRange, c.outsideRange);
    EXPECT_EQ(read.calendar->cancelled, c.cancelled);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IcalFileTest,
    ::testing::Values(
        FileCase{"folded.ics",
                 {QStringLiteral(
                     "2024-03-05 14:30 Jahresgespräch mit der Geschäftsführung über die Planung für das "
                     "nächste Quartal")}},
        FileCase{"timezones.ics",
                 {QStringLiteral("2024-01-15 09:00 Winter in Berlin"),
                  QStringLiteral("2024-07-15 15:00 Sommer in New York")}},
        FileCase{"utc.ics",
                 {QStringLiteral("2024-03-11 00:00 Nachts in UTC"),
                  QStringLiteral("2024-07-01 14:00 Mittag in UTC")}},
        FileCase{
            "allday.ics",
            {QStringLiteral("2024-02-29 00:00 Schalttag"), QStringLiteral("2024-12-24 00:00 Weihnachten")}},
        FileCase{"escaped.ics",
                 {QStringLiteral("2024-08-01 08:00 Äpfel, Birnen; Pflaumen"),
                  QStringLiteral("2024-08-01 09:00 Berlin → Москва")}},
        // A series with one occurrence moved, one renamed (its RECURRENCE-ID in
        // UTC), one cancelled; a cancelled event; a second VCALENDAR.
        FileCase{"changed_occurrences.ics",
                 {QStringLiteral("2024-01-08 10:00 Teamrunde"), QStringLiteral("2024-01-16 14:30 Teamrunde"),
                  QStringLiteral("2024-01-22 10:00 Teamrunde mit Gästen"),
                  QStringLiteral("2024-01-11 09:00 Zahnarzt")},
                 0,
                 2}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.file).section(QLatin1Char('.'), 0, 0).toStdString();
    });

TEST(IcalRead, RecurrenceHonoursCountUntilExdateRdateAndTheBound)
{
    const ReadResult read = ReadCalendar(IcsFile("recurring.ics"));
    ASSERT_TRUE(read.calendar) << qPrintable(read.error.text);
    const QStringList got = Summary(*read.calendar);
    EXPECT_EQ(got.mid(0, 4),
              (QStringList{"2024-01-02 09:00 Täglich fünfmal", "2024-01-03 09:00 Täglich fünfmal",
                           "2024-01-05 09:00 Täglich fünfmal", "2024-01-06 09:00 Täglich fünfmal"}));
    EXPECT_EQ(got.mid(4, 4), (QStringList{"2024-01-01 00:00 Monatsanfang", "2024-03-01 00:00 Monatsanfang",
                                          "2024-04-01 00:00 Monatsanfang", "2024-06-15 00:00 Monatsanfang"}));
    // 1998 and 1999 lie before the grid, like the single event in 2101.
    EXPECT_EQ(got.mid(8, 2), (QStringList{"2000-12-31 20:00 Silvester", "2000-01-01 07:00 Jeden Morgen"}));
    EXPECT_EQ(read.calendar->outsideRange, 3);
    // The open daily event stops at the bound.
    EXPECT_EQ(got.filter(QStringLiteral("Jeden Morgen")).size(), MaxOccurrences);
    EXPECT_EQ(got.last(), QStringLiteral("2002-09-26 07:00 Jeden Morgen"));
    EXPECT_EQ(read.calendar->cutOff, CalendarGrid::TotalDays - MaxOccurrences);
}

TEST(IcalRead, TheEarliestAlarmGivesLeadAndRepeat)
{
    const ReadResult read = ReadCalendar(IcsFile("alarms.ics"));
    ASSERT_TRUE(read.calendar) << qPrintable(read.error.text);
    const auto& a = read.calendar->appointments;
    ASSERT_EQ(a.size(), 4u);
    struct Expected
    {
        std::optional<double> lead, repeat;
    };
    const Expected expected[] = {
        {1 + dw::EncodeTime(2, 0), dw::EncodeTime(0, 30)}, // the earlier of two alarms, its DURATION
        {dw::EncodeTime(1, 0), std::nullopt},              // three hours before a two-hour event's end
        {1.0, std::nullopt},                               // an absolute moment a day before
        {std::nullopt, std::nullopt},                      // no alarm: the defaults
    };
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(a[i].firstLead, expected[i].lead) << i;
        EXPECT_EQ(a[i].repeatInterval, expected[i].repeat) << i;
    }
}

TEST(IcalRead, BadFilesNameTheirLine)
{
    struct Case
    {
        const char* file;
        int line;
        const char* text;
    } cases[] = {
        {"damaged.ics", 8, "endet vor END:VEVENT"},
        {"bad_date.ics", 7, "DTSTART ist kein gültiges Datum"},
        {"not_calendar.ics", 1, "keine iCalendar-Datei"},
    };
    for (const Case& c : cases) {
        const ReadResult read = ReadCalendar(IcsFile(c.file));
        EXPECT_FALSE(read.calendar) << c.file;
        EXPECT_EQ(read.error.line, c.line) << c.file;
        EXPECT_TRUE(read.error.text.contains(QString::fromUtf8(c.text)))
            << c.file << ": " << qPrintable(read.error.text);
    }
    // Faults only the parser sees are traced back to their line.
    const struct
    {
        QByteArray bytes;
        int line;
    } parsed[] = {
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20240101T100000\r\nRRULE:FREQ=SOMETIMES\r\n"
         "END:VEVENT\r\nEND:VCALENDAR\r\n",
         4},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20240101T100000\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
         "TRIGGER:-PXYZ\r\nEND:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         6},
    };
    for (const auto& c : parsed) {
        const ReadResult read = ReadCalendar(c.bytes);
        EXPECT_FALSE(read.calendar);
        EXPECT_EQ(read.error.line, c.line) << qPrintable(read.error.text);
    }
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("BEGIN:VCALENDAR\r\nkaputt\r\nEND:VCALENDAR\r\n"),
          QByteArray("BEGIN:VCALENDAR\r\nSUMMARY:\xff\r\nEND:VCALENDAR\r\n")})
        EXPECT_FALSE(ReadCalendar(bytes).calendar) << bytes.constData();
}

// A store with every field set, unusual values included.
void Fill(CalendarGrid& grid)
{
    struct Row
    {
        int y, m, d;
        dw::TDateTime time, lead, repeat, last;
        std::uint8_t done;
        const char* name;
        const char* description;
    } rows[] = {
        {2000, 1, 1, 0.0, 3.0, 1.0, 0.0, 0, "Kein Name", ""},
        {2024, 3, 5, dw::EncodeTime(14, 30), 2 + dw::EncodeTime(5, 7), dw::EncodeTime(0, 45),
         dwtest::At(2024, 3, 3, 9, 1, 2, 345), 1, "Zahnarzt, \"Dr. Müller\"; 5 \x80",
         "Zeile 1\r\nZeile 2\r\n\\ Ende"},
        {2024, 3, 5, dw::EncodeTime(8, 0), -2 + dw::EncodeTime(6, 1), 0.0, 0.0, 7, "Früh", "x"},
        {2024, 3, 5, dw::EncodeTime(8, 0), 0.0, 40.0, 0.0, 0, "Früh", "gleiche Zeit, gleicher Name"},
        {2100, 12, 31, dw::EncodeTime(23, 59), 400 + dw::EncodeTime(23, 59), 7.0,
         dwtest::At(2100, 12, 31, 23, 59), 0, "", ""},
    };
    for (const Row& r : rows) {
        Appointment* a = grid.NewAppointment(r.y, r.m, r.d);
        ASSERT_TRUE(ReplaceText(a->Name, r.name));
        ASSERT_TRUE(ReplaceText(a->Description, r.description));
        a->TimeOfDay = r.time;
        a->FirstLead = r.lead;
        a->RepeatInterval = r.repeat;
        a->LastReminded = r.last;
        a->Done = r.done;
    }
}

// Every appointment, every field, bit for bit, in grid order.
QStringList Dump(const CalendarGrid& grid)
{
    QStringList out;
    grid.ForEachDay([&](int y, int m, int d, const DayList& day) {
        for (std::uint32_t i = 0; i < day.count(); ++i) {
            const Appointment& a = *day.at(static_cast<std::int32_t>(i));
            QByteArray bits(reinterpret_cast<const char*>(&a), 4 * sizeof(double));
            out << QStringLiteral("%1-%2-%3 %4 %5 %6 [%7]")
                       .arg(y)
                       .arg(m)
                       .arg(d)
                       .arg(QString::fromLatin1(bits.toHex()))
                       .arg(a.Done)
                       .arg(QString::fromLatin1(QByteArray(a.Name).toHex()))
                       .arg(QString::fromLatin1(QByteArray(a.Description).toHex()));
        }
    });
    return out;
}

TEST(IcalRoundTrip, ExportThenImportGivesTheSameStoreAndASecondImportAddsNothing)
{
    CalendarGrid original;
    original.Build();
    Fill(original);
    const QByteArray file = WriteCalendar(original, dwtest::At(2024, 6, 1, 12, 0));
    const ReadResult read = ReadCalendar(file);
    ASSERT_TRUE(read.calendar) << read.error.line << qPrintable(read.error.text);

    CalendarGrid copy;
    copy.Build();
    const ImportReport first = Import(copy, *read.calendar);
    // The fourth row repeats day, time and name of the third: the same appointment to an import.
    EXPECT_EQ(first.added, 4);
    EXPECT_EQ(first.alreadyThere, 1);
    EXPECT_EQ(first.lostCharacters, 0);
    QStringList expected = Dump(original);
    expected.removeAt(3);
    EXPECT_EQ(Dump(copy), expected);

    const ImportReport second = Import(copy, *read.calendar);
    EXPECT_EQ(second.added, 0);
    EXPECT_EQ(second.alreadyThere, 5);
    EXPECT_EQ(Dump(copy), expected);
    // Stable identifiers: a second export of the same store names every event the same.
    EXPECT_EQ(WriteCalendar(original, dwtest::At(2024, 6, 1, 12, 0)), file);
}

// A file carries no blanks at a text's ends: a name typed with them is not
// doubled by importing its own export, and escaped ones ("\C" reads as a space) go.
TEST(IcalImport, BlanksAtTheEndsOfATextNeitherDoubleNorStay)
{
    CalendarGrid grid;
    grid.Build();
    Appointment* typed = grid.NewAppointment(2024, 9, 1);
    ASSERT_TRUE(typed && ReplaceText(typed->Name, " Zahnarzt\t") &&
                ReplaceText(typed->Description, "Zimmer 4 "));
    const ReadResult own = ReadCalendar(WriteCalendar(grid, dwtest::At(2024, 6, 1, 12, 0)));
    ASSERT_TRUE(own.calendar);
    const ImportReport again = Import(grid, *own.calendar);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.alreadyThere, 1);

    const ReadResult escaped =
        ReadCalendar("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//DE\r\nBEGIN:VEVENT\r\n"
                     "UID:e\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:20240902T090000\r\n"
                     "SUMMARY:Nachts in U\\C\r\nDESCRIPTION:\\tZimmer 5\\t\r\n"
                     "END:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_TRUE(escaped.calendar);
    EXPECT_EQ(Import(grid, *escaped.calendar).lostCharacters, 0);
    const Appointment* read = grid.Day(2024, 9, 2).at(0);
    EXPECT_EQ(QByteArray(read->Name), QByteArray("Nachts in U"));
    EXPECT_EQ(QByteArray(read->Description), QByteArray("Zimmer 5"));
}

TEST(IcalImport, CharactersOutsideTheCodePageBecomeQuestionMarksAndAreCounted)
{
    const ReadResult read = ReadCalendar(IcsFile("escaped.ics"));
    ASSERT_TRUE(read.calendar);
    CalendarGrid grid;
    grid.Build();
    const ImportReport report = Import(grid, *read.calendar);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ(report.lostCharacters, 1);
    const DayList& day = grid.Day(2024, 8, 1);
    EXPECT_EQ(QByteArray(day.at(0)->Description),
              QByteArray("Erste Zeile\r\nZweite Zeile\r\nDritte mit \\ und 5 \x80"));
    EXPECT_EQ(QByteArray(day.at(1)->Name), QByteArray("Berlin ? ??????"));
    EXPECT_TRUE(report.text().contains(QStringLiteral("Texte mit verlorenen Zeichen: 1")));
}

} // namespace

namespace {

QByteArray Calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + body + "END:VCALENDAR\r\n";
}

QByteArray Event(const QByteArray& lines)
{
    return "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
}

QByteArray Zone(const char* tzid, const char* rule)
{
    return QByteArray("BEGIN:VTIMEZONE\r\nTZID:") + tzid +
           "\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\n" +
           rule + "END:STANDARD\r\nEND:VTIMEZONE\r\n";
}

// Calendars made to cost without bound, each read within seconds, with counts that say what the bounds cut.
TEST(IcalBounds, HostileCalendarsEndInTimeWithTheirCountsRight)
{
    const QByteArray daily = Event("DTSTART:20240101T070000\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Jeden Morgen\r\n");
    QByteArray exdates = "EXDATE:20240101T100000";
    for (int i = 1; i < 600; ++i)
        exdates +=
            ',' + QDate(2024, 1, 1).addDays(i).toString(QStringLiteral("yyyyMMdd")).toLatin1() + "T100000";
    struct Case
    {
        const char* what;
        QByteArray file;
        std::size_t taken;
        int outside, ended, duplicates;
        const char* first;
    } cases[] = {
        {"a second that never comes",
         Calendar(Event("DTSTART:19990101T000000\r\nRRULE:FREQ=SECONDLY;BYSECOND=60\r\n")), 0, 1, 0, 0, ""},
        {"30 February",
         Calendar(Event("DTSTART;VALUE=DATE:19990101\r\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30\r\n")), 0,
         1, 0, 0, ""},
        {"30 February, daily",
         Calendar(Event("DTSTART:20240101T100000\r\nRRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30\r\n")), 1, 0, 0,
         0, "2024-01-01 10:00"},
        {"every second from 1999", Calendar(Event("DTSTART:19990101T000000\r\nRRULE:FREQ=SECONDLY\r\n")),
         1000, 1, 1, 0, "2000-01-01 00:00"},
        {"2,000 copies of an open daily event", Calendar(daily.repeated(2000)), 1000, 0, 0, 1999 * 1000,
         "2024-01-01 07:00"},
        {"600 dates on one EXDATE line",
         Calendar(Event("DTSTART:20240101T100000\r\nRRULE:FREQ=DAILY;COUNT=610\r\n" + exdates + "\r\n")), 10,
         0, 0, 0, "2025-08-23 10:00"},
        {"a zone after its events",
         Calendar(Event("DTSTART;TZID=Eigene:20240101T090000\r\n") + Zone("Eigene", "")), 1, 0, 0, 0,
         "2024-01-01 01:00"},
    };
    for (const Case& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const ReadResult read = ReadCalendar(c.file);
        EXPECT_LT(clock.elapsed(), 20000) << c.what;
        ASSERT_TRUE(read.calendar) << c.what << ": " << qPrintable(read.error.text);
        EXPECT_EQ(read.calendar->appointments.size(), c.taken) << c.what;
        EXPECT_EQ(read.calendar->outsideRange, c.outside) << c.what;
        EXPECT_EQ(read.calendar->rulesEnded, c.ended) << c.what;
        EXPECT_EQ(read.calendar->duplicates, c.duplicates) << c.what;
        EXPECT_TRUE(c.taken == 0 || Summary(*read.calendar).value(0).startsWith(QLatin1String(c.first)))
            << c.what << ": " << qPrintable(Summary(*read.calendar).value(0));
    }
}

// A changed occurrence replaces the one it names, wherever the two stand; each
// VCALENDAR of a file has its own zones.
TEST(IcalRead, ChangedOccurrencesReplaceTheirOwnAndEachCalendarHasItsZones)
{
    const QByteArray daily = "DTSTART:20240101T100000\r\nRRULE:FREQ=DAILY;COUNT=3\r\nSUMMARY:Serie\r\n";
    const QByteArray series = Event("UID:s\r\n" + daily);
    const QByteArray moved =
        Event("UID:s\r\nRECURRENCE-ID:20240102T100000\r\nDTSTART:20240105T090000\r\nSUMMARY:Serie\r\n");
    const QByteArray local = "DTSTART;TZID=Eigene:20240101T090000\r\nSUMMARY:";
    struct Case
    {
        const char* what;
        QByteArray file;
        QStringList expected;
        int cancelled;
    } cases[] = {
        {"a change before its series",
         Calendar(moved + series),
         {"2024-01-05 09:00 Serie", "2024-01-01 10:00 Serie", "2024-01-03 10:00 Serie"},
         0},
        {"a change without its series", Calendar(moved), {"2024-01-05 09:00 Serie"}, 0},
        // A single event's recurrence set is its start alone, which a change may name.
        {"a change of a single event",
         Calendar(Event("UID:s\r\nDTSTART:20240102T100000\r\nSUMMARY:Serie\r\n") + moved),
         {"2024-01-05 09:00 Serie"},
         0},
        {"a whole day changed",
         Calendar(Event("UID:d\r\nDTSTART;VALUE=DATE:20240101\r\nRRULE:FREQ=DAILY;COUNT=3\r\n") +
                  Event("UID:d\r\nRECURRENCE-ID;VALUE=DATE:20240102\r\nDTSTART;VALUE=DATE:20240110\r\n")),
         {"2024-01-01 00:00 Kein Name", "2024-01-03 00:00 Kein Name", "2024-01-10 00:00 Kein Name"},
         0},
        {"the same series under another UID keeps its own",
         Calendar(series + Event("UID:t\r\n" + daily) + moved),
         {"2024-01-01 10:00 Serie", "2024-01-03 10:00 Serie", "2024-01-01 10:00 Serie",
          "2024-01-02 10:00 Serie", "2024-01-03 10:00 Serie", "2024-01-05 09:00 Serie"},
         0},
        {"a cancelled series keeps a change of its own",
         Calendar(Event("UID:s\r\nSTATUS:CANCELLED\r\n" + daily) + moved),
         {"2024-01-05 09:00 Serie"},
         1},
        {"a cancelled occurrence",
         Calendar(series + Event("UID:s\r\nRECURRENCE-ID:20240102T100000\r\nDTSTART:20240102T100000\r\n"
                                 "STATUS:cancelled\r\n")),
         {"2024-01-01 10:00 Serie", "2024-01-03 10:00 Serie"},
         1},
        {"a zone only in the second of three calendars",
         Calendar(Event(local + "a\r\n")) + Calendar(Zone("Eigene", "") + Event(local + "b\r\n")) +
             Calendar(Event(local + "c\r\n")),
         {"2024-01-01 10:00 a", "2024-01-01 01:00 b", "2024-01-01 10:00 c"},
         0},
    };
    for (const Case& c : cases) {
        const ReadResult read = ReadCalendar(c.file);
        ASSERT_TRUE(read.calendar) << c.what << ": " << qPrintable(read.error.text);
        EXPECT_EQ(Summary(*read.calendar), c.expected) << c.what;
        EXPECT_EQ(read.calendar->cancelled, c.cancelled) << c.what;
    }
    const ReadResult trailing = ReadCalendar(Calendar(series) + "SUMMARY:danach\r\n");
    EXPECT_EQ(trailing.error.text, QStringLiteral("Nach END:VCALENDAR folgt noch Inhalt."));
}

TEST(IcalBounds, RefusedCalendarsNameTheLineInGermanAndEchoNoControlCharacters)
{
    Bounds few;
    few.appointments = 5;
    Bounds quick;
    quick.seconds = 0;
    quick.secondsPerMegabyte = 0;
    QByteArray parameters = "SUMMARY";
    for (int i = 0; i < 101; ++i)
        parameters += ";X-P=1";
    struct Case
    {
        const char* what;
        QByteArray file;
        Bounds limits;
        int line;
        const char* text;
    } cases[] = {
        {"a zone that changes every minute",
         Calendar(Zone("Z", "RRULE:FREQ=MINUTELY\r\n")),
         {},
         3,
         "Zeitzone"},
        {"every second of each 29 February",
         Calendar(Event("DTSTART:20010301T000000\r\nRRULE:FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=29\r\n")),
         {},
         5,
         "vertretbarer Zeit"},
        {"a line of 2 MB",
         Calendar(Event("DTSTART:20240101T100000\r\nSUMMARY:" + QByteArray(2 << 20, 'a') + "\r\n")),
         {},
         5,
         "zu lang"},
        {"a NUL byte on line 5",
         Calendar(Event("DTSTART:20240101T100000\r\nSUMMARY:a" + QByteArray(1, '\0') + "b\r\n")),
         {},
         5,
         "Nullzeichen"},
        {"escape sequences in a rule",
         Calendar(Event("DTSTART:20240101T100000\r\nRRULE:FREQ=\x1b[2J\x07\r\n")),
         {},
         5,
         "RRULE hat keinen gültigen Wert: „FREQ=\\x1b[2J\\x07“"},
        {"101 parameters",
         Calendar(Event("DTSTART:20240101T100000\r\n" + parameters + ":a\r\n")),
         {},
         5,
         "mehr als 100 Parameter"},
        {"more appointments than allowed",
         Calendar(Event("DTSTART:20240101T100000\r\nRRULE:FREQ=DAILY;COUNT=6\r\n")), few, 6,
         "mehr als 5 Termine in einem Durchgang. Bis dahin gelesen: Ereignisse 1, Termine daraus 0."},
        {"an alarm 800 years away",
         Calendar(
             Event("DTSTART:20240601T100000\r\nBEGIN:VALARM\r\nTRIGGER;VALUE=DATE-TIME:28240602T100000\r\n"
                   "END:VALARM\r\n")),
         {},
         6,
         "68 Jahre"},
        {"no time left", Calendar(Event("DTSTART:20240101T100000\r\nRRULE:FREQ=DAILY;COUNT=1000\r\n")), quick,
         0, "Sekunden Rechenzeit"},
    };
    for (const Case& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const ReadResult read = ReadCalendar(c.file, c.limits);
        EXPECT_LT(clock.elapsed(), 20000) << c.what;
        EXPECT_FALSE(read.calendar) << c.what;
        EXPECT_TRUE(c.line == 0 || read.error.line == c.line) << c.what << ": " << read.error.line;
        EXPECT_TRUE(read.error.text.contains(QString::fromUtf8(c.text)))
            << c.what << ": " << qPrintable(read.error.text);
        EXPECT_FALSE(read.error.text.contains(QLatin1Char('\x1b')) ||
                     read.error.text.contains(QLatin1String("parse")))
            << c.what;
    }
}

} // namespace

namespace {

// iCalendar has no way to write control characters: the import leaves them out
// (and counts the text), a lone CR breaks the line, and an export carries the rest.
TEST(IcalImport, ControlCharactersAreLeftOutSoThatAnExportCarriesEveryText)
{
    const ReadResult read = ReadCalendar(Calendar(Event("DTSTART:20240101T100000\r\nSUMMARY:a\\rb\\bc\x01"
                                                        "d\r\nDESCRIPTION:eins\\rzwei\\fdrei\\n\r\n")));
    ASSERT_TRUE(read.calendar) << qPrintable(read.error.text);
    CalendarGrid grid;
    grid.Build();
    EXPECT_EQ(Import(grid, *read.calendar).lostCharacters, 2);
    EXPECT_EQ(QByteArray(grid.Day(2024, 1, 1).at(0)->Name), QByteArray("a\nbcd"));
    EXPECT_EQ(QByteArray(grid.Day(2024, 1, 1).at(0)->Description), QByteArray("eins\r\nzweidrei\r\n"));
    const ReadResult back = ReadCalendar(WriteCalendar(grid, dwtest::At(2024, 6, 1, 12, 0)));
    ASSERT_TRUE(back.calendar);
    CalendarGrid copy;
    copy.Build();
    Import(copy, *back.calendar);
    EXPECT_EQ(Dump(copy), Dump(grid));
}

} // namespace
