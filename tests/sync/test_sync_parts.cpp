// The parts of the sync a table reaches without a server: which addresses are
// taken, what a reply must be to be read, and how a change is written into
// the server's own event.
#include "sync/Dav.h"
#include "sync/EventPatch.h"
#include "sync/Resource.h"
#include "sync/SyncController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace dw::sync;

TEST(SyncAddress, HttpsAnywhereHttpOnlyToThisComputer)
{
    const std::vector<std::pair<QString, bool>> cases{
        {QStringLiteral("https://dav.example/anna/kalender/"), true},
        {QStringLiteral("http://127.0.0.1:5232/anna/"), true},
        {QStringLiteral("http://[::1]:5232/"), true},
        {QStringLiteral("http://localhost/"), true},
        {QStringLiteral("http://127.0.0.1.example/"), false},
        {QStringLiteral("http://192.168.1.2/kalender/"), false},
        {QStringLiteral("ftp://dav.example/"), false},
        {QStringLiteral("dav.example"), false},
    };
    for (const auto& [url, taken] : cases)
        EXPECT_EQ(CheckAddress(url).isEmpty(), taken) << url.toStdString();
}

TEST(SyncReplies, OnlyAWellFormedMultistatusIsRead)
{
    const QByteArray good =
        "<?xml version='1.0'?><d:multistatus xmlns:d='DAV:' xmlns:c='urn:ietf:params:xml:ns:caldav'>"
        "<d:response><d:href>/a/k/x%20y.ics</d:href><d:propstat><d:prop><d:getetag>\"1\"</d:getetag>"
        "<c:calendar-data>BEGIN:VCALENDAR</c:calendar-data></d:prop>"
        "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
        "<d:response><d:href>/a/k/gone.ics</d:href><d:status>HTTP/1.1 404 Not Found</d:status>"
        "</d:response><d:sync-token>t2</d:sync-token></d:multistatus>";
    dav::Multistatus ms;
    QString error;
    ASSERT_TRUE(dav::Parse(good, ms, error)) << error.toStdString();
    ASSERT_EQ(ms.entries.size(), 2u);
    EXPECT_EQ(ms.entries[0].href, QStringLiteral("/a/k/x y.ics"));
    EXPECT_EQ(ms.entries[0].etag, QByteArray("\"1\""));
    EXPECT_TRUE(ms.entries[0].hasCalendarData);
    EXPECT_EQ(ms.entries[1].status, 404);
    EXPECT_EQ(ms.syncToken, QByteArray("t2"));

    for (const QByteArray& bad : {QByteArray("<html><body>Proxy error</body></html>"),
                                  QByteArray("<d:multistatus xmlns:d='DAV:'><d:response>"), QByteArray()}) {
        EXPECT_FALSE(dav::Parse(bad, ms, error)) << bad.constData();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SyncReplies, AnEventThatIsNoICalendarIsRefused)
{
    for (const QByteArray& bad : {QByteArray("not a calendar"),
                                  QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:2030-13-45\r\n")}) {
        const ReadItems read = ReadResource(bad);
        EXPECT_FALSE(read.ok) << bad.constData();
        EXPECT_FALSE(read.error.isEmpty());
    }
}

namespace {

QByteArray Object(const QByteArray& event, const QByteArray& more = {})
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//DE\r\nBEGIN:VEVENT\r\n" + event +
           "DTSTAMP:20240101T000000Z\r\nEND:VEVENT\r\n" + more + "END:VCALENDAR\r\n";
}

// Unfolded, so that a long line is found whole.
QByteArray Unfolded(const QByteArray& text)
{
    return QByteArray(text).replace("\r\n ", "");
}

} // namespace

// Only what changed here is written into the server's object; the rest stays as it was sent.
TEST(SyncPatch, OnlyWhatChangedHereIsWrittenIntoTheServersObject)
{
    const QByteArray zoned =
        Object("UID:nyc\r\nDTSTART;TZID=America/New_York:20300502T090000\r\n"
               "DTEND;TZID=America/New_York:20300502T100000\r\nSUMMARY:Zwei\r\n"
               "LOCATION:Büro\r\nATTENDEE:mailto:b@example.org\r\nORGANIZER:mailto:a@example.org\r\n"
               "CATEGORIES:Arbeit\r\nX-TELEFON-FARBE:rot\r\n"
               "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n");
    const QByteArray allDay =
        Object("UID:frei\r\nDTSTART;VALUE=DATE:20300502\r\nDTEND;VALUE=DATE:20300503\r\n"
               "SUMMARY:Urlaub\r\n");
    const QByteArray series = Object("UID:lauf\r\nDTSTART:20300701T070000\r\nDURATION:PT1H\r\n"
                                     "RRULE:FREQ=DAILY;COUNT=5\r\nSUMMARY:Laufen\r\n");
    struct Case
    {
        const char* what;
        QByteArray object;
        int item; // which occurrence, as read
        unsigned parts;
        std::function<void(EventFields&)> change;
        bool deleted;
        std::vector<QByteArray> has;
        std::vector<QByteArray> hasNot;
    };
    const std::vector<Case> cases{
        {"a rename keeps zone, end, location, people, categories, own properties and alarm",
         zoned,
         0,
         NamePart,
         [](EventFields& f) { f.name = "Zwei neu"; },
         false,
         {"SUMMARY:Zwei neu", "DTSTART;TZID=America/New_York:20300502T090000",
          "DTEND;TZID=America/New_York:20300502T100000", "LOCATION:Büro", "ATTENDEE:mailto:b@example.org",
          "ORGANIZER:mailto:a@example.org", "CATEGORIES:Arbeit", "X-TELEFON-FARBE:rot", "TRIGGER:-PT15M",
          "UID:nyc"},
         {"REPEAT", "TRIGGER:-P3D", "X-DATUMSWECKER"}},
        {"a move a day on keeps the zone and moves the end by as much",
         zoned,
         0,
         StartPart,
         [](EventFields& f) { f.day = f.day.addDays(1); },
         false,
         {"DTSTART;TZID=America/New_York:20300503T090000", "DTEND;TZID=America/New_York:20300503T100000"},
         {}},
        {"an all-day event moved stays all-day",
         allDay,
         0,
         StartPart,
         [](EventFields& f) { f.day = f.day.addDays(2); },
         false,
         {"DTSTART;VALUE=DATE:20300504", "DTEND;VALUE=DATE:20300505"},
         {"T000000"}},
        {"a lead changed here changes the alarm that comes first, and no other",
         zoned,
         0,
         AlarmPart,
         [](EventFields& f) { f.lead = 86400; },
         false,
         {"TRIGGER:-P1D", "ACTION:AUDIO"},
         {"TRIGGER:-PT15M"}},
        {"a lead changed here gives an event without alarm one",
         allDay,
         0,
         AlarmPart,
         [](EventFields& f) { f.lead = 3600; },
         false,
         {"BEGIN:VALARM", "TRIGGER:-PT1H"},
         {}},
        {"an occurrence renamed becomes an exception of the series",
         series,
         1,
         NamePart,
         [](EventFields& f) { f.name = "Laufen im Park"; },
         false,
         {"RECURRENCE-ID:20300702T070000", "SUMMARY:Laufen im Park", "RRULE:FREQ=DAILY;COUNT=5",
          "DTSTART:20300702T070000", "DURATION:PT1H"},
         {}},
        {"an occurrence deleted becomes an EXDATE",
         series,
         3,
         0,
         {},
         true,
         {"EXDATE:20300704T070000"},
         {"RECURRENCE-ID"}},
        {"an event without a UID gets one",
         Object("DTSTART:20300502T090000\r\nSUMMARY:Ohne\r\n"),
         0,
         NamePart,
         [](EventFields& f) { f.name = "Mit"; },
         false,
         {"UID:eigene-uid"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadItems read = ReadResource(c.object);
        ASSERT_TRUE(read.ok) << read.error.toStdString();
        const ServerItem& item = read.items.at(static_cast<std::size_t>(c.item));
        EventChange change{item.rid, FieldsOf(item.day, item.fields), FieldsOf(item.day, item.fields),
                           c.parts, c.deleted};
        if (c.change)
            c.change(change.after);
        QString error;
        const QByteArray uid = read.uid.isEmpty() ? QByteArray("eigene-uid") : read.uid;
        const QByteArray out = Unfolded(PatchEvent(c.object, uid, {change}, 0.0, error));
        ASSERT_FALSE(out.isEmpty()) << error.toStdString();
        for (const QByteArray& line : c.has)
            EXPECT_TRUE(out.contains(line)) << line.constData() << "\n" << out.constData();
        for (const QByteArray& line : c.hasNot)
            EXPECT_FALSE(out.contains(line)) << line.constData() << "\n" << out.constData();
        // What the server gets back reads as what was meant.
        const ReadItems back = ReadResource(out);
        ASSERT_TRUE(back.ok) << back.error.toStdString();
        const auto now = std::find_if(back.items.begin(), back.items.end(),
                                      [&](const ServerItem& i) { return i.rid == item.rid; });
        EXPECT_EQ(now == back.items.end(), c.deleted);
        if (now != back.items.end()) {
            EXPECT_EQ(DifferingParts(FieldsOf(now->day, now->fields), change.after), 0u);
        }
    }
}

TEST(SyncPatch, ANewEventHasAUidAndEndsWhereItStarts)
{
    EventFields f;
    f.day = QDate(2030, 5, 2);
    f.time = 9 * 3600;
    f.name = "Neu";
    f.lead = 86400;
    f.repeat = 3600;
    const QByteArray event = NewEvent(f, "neu@datumswecker", 0.0);
    EXPECT_TRUE(event.contains("UID:neu@datumswecker"));
    EXPECT_TRUE(event.contains("DURATION:PT0S"));
    const ReadItems back = ReadResource(event);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(DifferingParts(FieldsOf(back.items.at(0).day, back.items.at(0).fields), f), 0u);
}
