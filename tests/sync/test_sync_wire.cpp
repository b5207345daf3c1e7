// What goes over the wire, without a server: which addresses and hrefs a
// server may lead to, and what the person is told about each kind of reply
// (a transport of the test's own answers in place of the network).
#include "core/AppCore.h"
#include "store/Appointment.h"
#include "sync/Origin.h"
#include "sync/SyncEngine.h"
#include "sync/SyncFaults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace dw::sync;

TEST(SyncWire, OriginsAndHrefsStayWithTheCalendar)
{
    const QUrl calendar(QStringLiteral("http://127.0.0.1:5232/anna/kalender/"));
    using K = HrefPlace::Kind;
    const std::vector<std::tuple<const char*, K, const char*>> hrefs{
        {"/anna/kalender/x.ics", K::Inside, "/anna/kalender/x.ics"},
        {"x y.ics", K::Inside, "/anna/kalender/x y.ics"},
        {"/anna/kalender/a?b#c.ics", K::Inside, "/anna/kalender/a?b#c.ics"},
        {"http://127.0.0.1:5232/anna/kalender/x.ics", K::Inside, "/anna/kalender/x.ics"},
        {"/anna/kalender/", K::Collection, ""},
        {"/anna/kalender", K::Collection, ""},
        {"../../etc/passwd", K::Outside, ""},
        {"/anna/kalender/../../etc/passwd", K::Outside, ""},
        {"/anna/kalender/..", K::Outside, ""},
        {"/root/.ssh/id_rsa", K::Outside, ""},
        {"/anna/kalender-2/x.ics", K::Outside, ""},
        {"http://127.0.0.2:5232/anna/kalender/x.ics", K::Outside, ""},
        {"https://127.0.0.1:5232/anna/kalender/x.ics", K::Outside, ""},
        {"http://127.0.0.1:5233/anna/kalender/x.ics", K::Outside, ""},
        {"//evil.example/anna/kalender/x.ics", K::Outside, ""},
        {"", K::Outside, ""},
    };
    for (const auto& [href, kind, path] : hrefs) {
        const HrefPlace place = PlaceOf(calendar, QString::fromUtf8(href));
        EXPECT_EQ(place.kind, kind) << href;
        if (kind == K::Inside) {
            EXPECT_EQ(place.path, QString::fromUtf8(path)) << href;
        }
    }

    // The state file is held to the same rule when it is read.
    QTemporaryDir dir;
    SyncState state;
    state.collection = calendar.toString();
    for (const char* href :
         {"/anna/kalender/gut.ics", "/root/.ssh/id_rsa", "http://127.0.0.2/anna/kalender/x.ics"}) {
        state.resources.insert(QString::fromLatin1(href), {"u", "e", true});
        Tie t;
        t.href = QString::fromLatin1(href);
        t.day = QDate(2030, 1, 1);
        state.ties.push_back(t);
    }
    const QString path = dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(state.save(path));
    ASSERT_TRUE(state.load(path));
    EXPECT_EQ(state.resources.keys(), QStringList{QStringLiteral("/anna/kalender/gut.ics")});
    ASSERT_EQ(state.ties.size(), 1u);
    EXPECT_EQ(state.ties[0].href, QStringLiteral("/anna/kalender/gut.ics"));
}

namespace {

// Answers each request as the case says, from the event loop, and keeps every request.
class ScriptedTransport : public Transport
{
public:
    explicit ScriptedTransport(std::function<HttpReply(const HttpRequest&)> answer)
        : m_answer(std::move(answer))
    {
    }
    void setCredentials(const QString&, const QString&) override {}
    void setOrigin(const QUrl&) override {}
    void trustCertificate(const QByteArray&) override {}
    void send(const HttpRequest& request, std::function<void(const HttpReply&)> done) override
    {
        requests.push_back(request);
        QTimer::singleShot(0, &m_alive, [this, request, done] { done(m_answer(request)); });
    }
    void cancelAll() override {}
    std::vector<HttpRequest> requests;

private:
    std::function<HttpReply(const HttpRequest&)> m_answer;
    QObject m_alive; // answers not yet given go with the transport
};

// A multistatus of (href, properties) pairs.
QByteArray Multistatus(const std::vector<std::pair<QByteArray, QByteArray>>& responses)
{
    QByteArray out = "<d:multistatus xmlns:d='DAV:' xmlns:c='urn:ietf:params:xml:ns:caldav'>";
    for (const auto& [href, props] : responses)
        out += "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props +
               "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
    return out + "</d:multistatus>";
}

QByteArray CalendarProps(const QByteArray& name)
{
    return "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:displayname>" + name +
           "</d:displayname>";
}

HttpReply Reply(int status, const QByteArray& body = {}, HttpReply::Failure failure = {})
{
    HttpReply r;
    r.status = status;
    r.body = body;
    r.failure = failure;
    return r;
}

struct ReplyCase
{
    const char* name;
    const char* account;
    std::function<HttpReply(const HttpRequest&)> answer;
    SyncReport::Fault fault;
    const char* says;
};

} // namespace

TEST(SyncWire, EachKindOfReplyIsToldForWhatItIs)
{
    const QByteArray calendar = Multistatus({{"/anna/kal/", CalendarProps("Privat")}});
    const auto calendarThenPut = [calendar](int put) {
        return
            [calendar, put](const HttpRequest& r) { return Reply(r.method == "PUT" ? put : 207, calendar); };
    };
    const auto always = [](HttpReply reply) { return [reply](const HttpRequest&) { return reply; }; };
    HttpReply moved = Reply(301);
    moved.location = QUrl(QStringLiteral("https://neu.example/anna/kal/"));
    HttpReply refused = Reply(0, {}, HttpReply::Failure::Certificate);
    refused.fingerprint = QByteArray(64, 'a');
    const auto home = [](const QByteArray& at) {
        return Multistatus(
            {{"/dav/", "<c:calendar-home-set><d:href>" + at + "</d:href></c:calendar-home-set>"}});
    };
    const QByteArray two =
        Multistatus({{"/anna/privat/", CalendarProps("Privat")}, {"/anna/arbeit/", CalendarProps("Arbeit")}});
    // A calendar of the given events (name, iCalendar), listed by ETag and fetched in one multiget.
    const auto holding = [](std::vector<std::pair<QByteArray, QByteArray>> events) {
        return [events](const HttpRequest& r) {
            std::vector<std::pair<QByteArray, QByteArray>> listed{{"/anna/kal/", CalendarProps("Privat")}};
            for (const auto& [name, ics] : events)
                listed.push_back({"/anna/kal/" + name,
                                  "<d:getetag>\"" + name + "\"</d:getetag>" +
                                      (r.method == "REPORT" ? "<c:calendar-data>" + ics + "</c:calendar-data>"
                                                            : QByteArray())});
            if (r.method == "PROPFIND" && r.headers.contains({"Depth", "0"}))
                listed.resize(1);
            return Reply(r.method == "PUT" ? 201 : 207, Multistatus(listed));
        };
    };
    const auto event = [](const QByteArray& uid, const QByteArray& more) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:" + uid +
               "\r\nDTSTART:20300501T080000Z\r\nSUMMARY:" + uid + "\r\n" + more +
               "END:VEVENT\r\nEND:VCALENDAR\r\n";
    };
    QByteArray series = event("serie", "RRULE:FREQ=DAILY\r\n").replace("END:VCALENDAR\r\n", "");
    for (int i = 0; i < 1001; ++i) {
        const QByteArray day = QDate(2030, 5, 2).addDays(i).toString(QStringLiteral("yyyyMMdd")).toLatin1();
        series += "BEGIN:VEVENT\r\nUID:serie\r\nRECURRENCE-ID:" + day + "T080000Z\r\nDTSTART:" + day +
                  "T100000Z\r\nEND:VEVENT\r\n";
    }
    series += "END:VCALENDAR\r\n";
    const QByteArray longLine = event("lang", "DESCRIPTION:" + QByteArray(16 << 20, 'x') + "\r\n");
    const char* kal = "http://127.0.0.1:8/anna/kal/";
    const char* root = "http://127.0.0.1:8/dav/";
    using F = SyncReport::Fault;
    const std::vector<ReplyCase> cases{
        {"reset", kal, always(Reply(0, {}, HttpReply::Failure::Interrupted)), F::Unreachable,
         "Verbindung unterbrochen"},
        {"redirect", kal, always(moved), F::Redirected, "nach https://neu.example/anna/kal/ um"},
        {"html", kal, always(Reply(200, "<html>Anmelden</html>")), F::Server, "Antwort 200 statt 207"},
        {"207 to a PUT", kal, calendarThenPut(207), F::Server, "PUT /anna/kal/"},
        {"certificate", "https://127.0.0.1:8/anna/kal/", always(refused), F::Certificate,
         "--trust-certificate AA:AA:"},
        {"home elsewhere", root, always(Reply(207, home("http://127.0.0.2:9/anna/"))), F::OtherOrigin,
         "Der Server 127.0.0.1:8 verweist auf einen anderen Server, 127.0.0.2:9"},
        {"several calendars", root,
         [&](const HttpRequest& r) {
             return Reply(207, r.url.path() == QLatin1String("/dav/") ? home("/anna/") : two);
         },
         F::ChooseCalendar, "Arbeit: http://127.0.0.1:8/anna/arbeit/"},
        {"a 16 MB line, after an event merged whole", kal,
         holding({{"gut.ics", event("gut", {})}, {"lang.ics", longLine}}), F::Bound,
         "Grenze erreicht: Die Zeile ist zu lang (mehr als 1.048.576 Bytes).\nDer Abgleich wurde dort "
         "abgebrochen. Bis dahin vom Server übernommen und gespeichert: neu 1,"},
        {"1,001 changed occurrences", kal, holding({{"serie.ics", series}}), F::Bound,
         "mehr als 1.000 geänderte Wiederholungen"},
        {"an ETag of 2 KB", kal, holding({{QByteArray(2048, 'e'), event("e", {})}}), F::BadReply, "ETag"},
        {"a header Qt cannot read", kal, always(Reply(0, {}, HttpReply::Failure::BadHeader)), F::BadReply,
         "ein Feld ist zu lang (ein ETag über 1024 Bytes) oder keines lesbar"},
        {"sent", kal, calendarThenPut(201), F::None, "Kalender: „Privat“ (http://127.0.0.1:8/anna/kal/)"},
    };
    for (const ReplyCase& c : cases) {
        QTemporaryDir dir;
        AppCore core;
        core.Open(dir.path() + QLatin1Char('/'));
        ReplaceText(core.grid().NewAppointment(2030, 5, 1)->Name, QByteArray("Zahnarzt"));
        auto* transport = new ScriptedTransport(c.answer);
        SyncEngine engine(core.grid(), core.dataFolder(), std::unique_ptr<Transport>(transport));
        engine.setAccount(
            {QUrl(QString::fromLatin1(c.account)), QStringLiteral("anna"), QStringLiteral("pw"), {}});
        QSignalSpy done(&engine, &SyncEngine::finished);
        engine.start();
        ASSERT_TRUE(done.wait(10000)) << c.name;
        const SyncReport report = done.first().first().value<SyncReport>();
        EXPECT_EQ(report.fault, c.fault) << c.name;
        EXPECT_TRUE(report.fullText().contains(QString::fromUtf8(c.says)))
            << c.name << ": " << report.fullText().toStdString();
        for (const HttpRequest& r : transport->requests)
            EXPECT_EQ(r.url.host(), QStringLiteral("127.0.0.1")) << c.name;
        core.Close();
    }
}
