// The parts of the sync a table reaches without a server: which addresses are
// taken, and what a reply must be to be read.
#include "sync/Dav.h"
#include "sync/Resource.h"
#include "sync/SyncController.h"

#include <gtest/gtest.h>

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
