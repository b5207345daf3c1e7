// The sync engine against a real Radicale, with curl as a second client that
// changes the server meanwhile.
#include "SyncSide.h"

#include "platform/Ansi.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace dwtest;
using dw::sync::SyncReport;

namespace {

QString Text(const SyncReport& r)
{
    return r.text();
}

#define EXPECT_SYNCED(r) ASSERT_TRUE((r).ok()) << Text(r).toStdString()

// The server's file whose text holds `what`.
QString FileWith(const RadicaleServer& server, const QByteArray& what)
{
    for (const QString& name : server.names())
        if (server.get(name).contains(what))
            return name;
    return {};
}

void Rename(Appointment* a, const QString& name)
{
    ASSERT_NE(a, nullptr);
    ReplaceText(a->Name, dw::ToAnsi(name));
}

class BothWays : public ::testing::TestWithParam<bool>
{
};

} // namespace

// With sync-collection and with ETags compared: first sync both ways, then
// edits and deletions on each side; a renamed appointment stays the same event.
TEST_P(BothWays, FirstSyncThenEditsAndDeletionsOnEachSide)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    SyncSide here(server);
    here.engine().setUseSyncReport(GetParam());
    here.add(2030, 5, 1, 9, "Zahnarzt");
    here.add(2030, 5, 1, 14, "Friseur");
    here.add(2030, 5, 2, 10, "Bahn");
    ASSERT_EQ(server.put(QStringLiteral("phone-1.ics"),
                         Event(QStringLiteral("phone-1"), QStringLiteral("20300503T080000"),
                               QStringLiteral("Vom Telefon"))),
              201);
    SyncReport r = here.sync();
    EXPECT_SYNCED(r);
    EXPECT_EQ(r.uploaded, 3);
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(server.names().size(), 4);
    EXPECT_EQ(here.day(2030, 5, 3), QStringList{QStringLiteral("08:00 Vom Telefon")});
    EXPECT_EQ(here.sync().text(), QStringLiteral("Abgeglichen, nichts geändert."));

    const QString dentist = FileWith(server, "SUMMARY:Zahnarzt");
    Rename(here.at(2030, 5, 1, 0), QStringLiteral("Zahnarzt Dr. Weiß"));
    here.at(2030, 5, 1, 0)->TimeOfDay = dw::EncodeTime(10, 30);
    here.core().grid().DeleteAppointment(2030, 5, 1, 1);
    here.engine().noteDeleted();
    ASSERT_EQ(server.put(QStringLiteral("phone-1.ics"),
                         Event(QStringLiteral("phone-1"), QStringLiteral("20300503T090000"),
                               QStringLiteral("Vom Telefon verschoben"))),
              201);
    ASSERT_EQ(server.remove(FileWith(server, "SUMMARY:Bahn")), 200);
    r = here.sync();
    EXPECT_SYNCED(r);
    EXPECT_EQ(r.uploaded, 1);
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(r.changed, 1);
    EXPECT_EQ(r.removed, 1);
    EXPECT_EQ(here.day(2030, 5, 1), QStringList{QStringLiteral("10:30 Zahnarzt Dr. Weiß")});
    EXPECT_TRUE(here.day(2030, 5, 2).isEmpty());
    EXPECT_EQ(here.day(2030, 5, 3), QStringList{QStringLiteral("09:00 Vom Telefon verschoben")});
    EXPECT_EQ(server.names(), (QStringList{dentist, QStringLiteral("phone-1.ics")}));
    EXPECT_TRUE(server.get(dentist).contains("DTSTART:20300501T103000"));

    SyncSide other(server);
    EXPECT_SYNCED(other.sync());
    EXPECT_EQ(other.day(2030, 5, 1), here.day(2030, 5, 1));
    EXPECT_EQ(other.total(), 2);
}

INSTANTIATE_TEST_SUITE_P(SyncCollectionOrEtags, BothWays, ::testing::Bool());

// Found from the server's address; an appointment changed on both sides keeps both versions.
TEST(Sync, ConflictKeepsBothVersions)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    SyncSide here(server, server.baseUrl() + QStringLiteral("/"));
    here.add(2030, 6, 1, 9, "Treffen");
    EXPECT_SYNCED(here.sync());
    const QString name = server.names().value(0);
    QByteArray theirs = server.get(name);
    theirs.replace("SUMMARY:Treffen", "SUMMARY:Treffen im Café");
    ASSERT_EQ(server.put(name, theirs), 201);
    Rename(here.at(2030, 6, 1, 0), QStringLiteral("Treffen verschoben"));

    const SyncReport r = here.sync();
    EXPECT_SYNCED(r);
    EXPECT_EQ(r.conflicts, 1);
    EXPECT_EQ(here.day(2030, 6, 1), (QStringList{QStringLiteral("09:00 Treffen im Café"),
                                                 QStringLiteral("09:00 Treffen verschoben (Konflikt)")}));
    EXPECT_EQ(server.names().size(), 2);
    EXPECT_EQ(here.sync().text(), QStringLiteral("Abgeglichen, nichts geändert."));
}

// One occurrence changed and one deleted here go back as an exception and an
// EXDATE; an occurrence changed on both sides, or changed here and taken out
// there, is merged as a single event is.
TEST(Sync, RecurringEventKeepsItsSeries)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    ASSERT_EQ(server.put(QStringLiteral("serie.ics"),
                         Event(QStringLiteral("serie"), QStringLiteral("20300701T070000"),
                               QStringLiteral("Laufen"), QStringLiteral("RRULE:FREQ=DAILY;COUNT=5\r\n"))),
              201);
    SyncSide here(server);
    EXPECT_SYNCED(here.sync());
    EXPECT_EQ(here.total(), 5);
    Rename(here.at(2030, 7, 2, 0), QStringLiteral("Laufen im Park"));
    here.core().grid().DeleteAppointment(2030, 7, 4, 0);
    here.engine().noteDeleted();

    const SyncReport r = here.sync();
    EXPECT_SYNCED(r);
    EXPECT_EQ(r.uploaded, 1);
    const QByteArray series = server.get(QStringLiteral("serie.ics"));
    EXPECT_TRUE(series.contains("RRULE:FREQ=DAILY;COUNT=5")) << series.constData();
    EXPECT_TRUE(series.contains("RECURRENCE-ID:20300702T070000")) << series.constData();
    EXPECT_TRUE(series.contains("EXDATE:20300704T070000")) << series.constData();
    EXPECT_EQ(server.names().size(), 1);

    SyncSide other(server);
    EXPECT_SYNCED(other.sync());
    EXPECT_EQ(other.day(2030, 7, 2), QStringList{QStringLiteral("07:00 Laufen im Park")});
    EXPECT_TRUE(other.day(2030, 7, 4).isEmpty());
    EXPECT_EQ(other.total(), 4);

    // The phone renames the exception and takes out an occurrence, both changed here meanwhile:
    // the first keeps both versions, the second goes up as an event of its own.
    Rename(here.at(2030, 7, 2, 0), QStringLiteral("Laufen im Wald"));
    Rename(here.at(2030, 7, 3, 0), QStringLiteral("Laufen spät"));
    QByteArray phone = QByteArray(server.get(QStringLiteral("serie.ics"))).replace("\r\n ", "");
    phone.replace("SUMMARY:Laufen im Park", "SUMMARY:Laufen am See");
    phone.replace("RRULE:FREQ=DAILY;COUNT=5\r\n", "RRULE:FREQ=DAILY;COUNT=5\r\nEXDATE:20300703T070000\r\n");
    ASSERT_EQ(server.put(QStringLiteral("serie.ics"), phone), 201);
    EXPECT_SYNCED(here.sync());
    EXPECT_EQ(here.day(2030, 7, 2), (QStringList{QStringLiteral("07:00 Laufen am See"),
                                                 QStringLiteral("07:00 Laufen im Wald (Konflikt)")}));
    EXPECT_EQ(here.day(2030, 7, 3), QStringList{QStringLiteral("07:00 Laufen spät")});
    EXPECT_EQ(server.names().size(), 3);
    EXPECT_SYNCED(other.sync());
    EXPECT_EQ(other.day(2030, 7, 2), here.day(2030, 7, 2));
    EXPECT_EQ(other.day(2030, 7, 3), here.day(2030, 7, 3));
    EXPECT_EQ(other.total(), 5);
}

// A pass stopped in the middle of its uploads (as a killed program) is taken
// up by the next start: every appointment once on the server, none twice here.
TEST(Sync, CutOffPassIsResumedWithNothingLostOrDoubled)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    SyncSide here(server);
    for (int i = 0; i < 60; ++i)
        here.add(2031, 1 + i % 12, 1 + i % 28, i % 24, "Termin " + QByteArray::number(i));
    here.engine().start();
    QElapsedTimer t;
    t.start();
    while (server.names().size() < 10 && t.elapsed() < 30000)
        QTest::qWait(20);
    here.engine().cancel();
    ASSERT_LT(server.names().size(), 60);
    here.restart(false);

    EXPECT_SYNCED(here.sync());
    EXPECT_EQ(server.names().size(), 60);
    EXPECT_EQ(here.total(), 60);
    EXPECT_EQ(here.sync().text(), QStringLiteral("Abgeglichen, nichts geändert."));
}

// Down: a clear message, the edit kept; back: the edit goes up. A wrong password is told as such.
TEST(Sync, ServerDownAndBackThenWrongPassword)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    SyncSide here(server);
    here.add(2030, 8, 1, 12, "Mittag");
    EXPECT_SYNCED(here.sync());
    server.stop();
    Rename(here.at(2030, 8, 1, 0), QStringLiteral("Mittagessen"));
    SyncReport r = here.sync();
    EXPECT_EQ(r.fault, SyncReport::Fault::Unreachable);
    EXPECT_TRUE(r.text().contains(QStringLiteral("nicht erreichbar"))) << r.text().toStdString();
    ASSERT_TRUE(server.start());
    r = here.sync();
    EXPECT_SYNCED(r);
    EXPECT_EQ(r.uploaded, 1);
    EXPECT_TRUE(server.everything().contains("SUMMARY:Mittagessen"));

    here.setPassword(QStringLiteral("falsch"));
    r = here.sync();
    EXPECT_EQ(r.fault, SyncReport::Fault::Unauthorized);
    EXPECT_TRUE(r.text().contains(QStringLiteral("Passwort"))) << r.text().toStdString();
}

TEST(Sync, UntrustedCertificateIsRefusedWithItsName)
{
    RadicaleServer server(true);
    ASSERT_TRUE(server.ok());
    SyncSide here(server);
    here.add(2030, 9, 1, 8, "Geheim");
    const SyncReport r = here.sync();
    EXPECT_EQ(r.fault, SyncReport::Fault::Certificate);
    EXPECT_TRUE(r.text().contains(QString::fromLatin1(RadicaleServer::CertificateName)))
        << r.text().toStdString();
    EXPECT_TRUE(server.names().isEmpty());
}

// The sync's first state format kept only a hash of what both sides agreed
// on; it is taken over as it is read: a change on either side and a deletion
// here go where they belong, and nothing is doubled.
TEST(Sync, TheFirstStateFormatIsTakenOver)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    SyncSide here(server);
    here.add(2030, 5, 1, 9, "Eins");
    here.add(2030, 5, 1, 10, "Zwei");
    here.add(2030, 5, 2, 10, "Drei");
    EXPECT_SYNCED(here.sync());
    QFile state(dw::sync::SyncStatePath(here.core().dataFolder()));
    ASSERT_TRUE(state.open(QIODevice::ReadOnly));
    QByteArray first = "datumswecker-sync 1\n";
    for (const QByteArray& line : state.readAll().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.value(0) != "T") {
            first += line.startsWith("datumswecker-sync") ? QByteArray() : line + '\n';
            continue;
        }
        // T href rid day index seen base...; the first format: L href rid day index hash last done seen.
        dw::sync::EventFields base;
        base.day = QDate::fromString(QString::fromLatin1(f[6]), Qt::ISODate);
        base.time = f[7].toLongLong();
        base.name = QByteArray::fromPercentEncoding(f[8]);
        base.description = f[9] == "-" ? QByteArray() : QByteArray::fromPercentEncoding(f[9]);
        base.lead = f[10].toLongLong();
        base.repeat = f[11].toLongLong();
        first += "L " + f[1] + ' ' + f[2] + ' ' + f[3] + ' ' + f[4] + ' ' + dw::sync::LegacyHash(base) + ' ' +
                 f[12] + ' ' + f[13] + ' ' + f[5].rightJustified(16, '0') + '\n';
    }
    state.close();
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    state.write(first);
    state.close();
    Rename(here.at(2030, 5, 1, 0), QStringLiteral("Eins neu"));
    here.core().grid().DeleteAppointment(2030, 5, 2, 0);
    const QString two = FileWith(server, "SUMMARY:Zwei");
    ASSERT_EQ(server.put(two, server.get(two).replace("SUMMARY:Zwei", "SUMMARY:Zwei umbenannt")), 201);
    here.restart();

    EXPECT_SYNCED(here.sync());
    EXPECT_EQ(here.day(2030, 5, 1),
              (QStringList{QStringLiteral("09:00 Eins neu"), QStringLiteral("10:00 Zwei umbenannt")}));
    EXPECT_EQ(here.total(), 2);
    EXPECT_EQ(server.names().size(), 2);
    EXPECT_TRUE(server.everything().contains("SUMMARY:Eins neu"));
    EXPECT_EQ(here.sync().text(), QStringLiteral("Abgeglichen, nichts geändert."));
}

// The phone changes or deletes the event in the moment between our fetch and
// our request: the If-Match refuses it, the event is fetched and merged again,
// and the phone's edit is kept (never overwritten, never deleted).
TEST(Sync, AnEditOnThePhoneJustBeforeOurRequestIsMergedNotOverwritten)
{
    struct Case
    {
        const char* what;
        QByteArray method; // of our request the phone comes before
        std::function<void(SyncSide&)> here;
        std::function<QByteArray(const QByteArray&)> phone; // empty result: deleted
        QStringList dayHere;
        int events; // on the server afterwards
        std::vector<QByteArray> onServer;
    };
    const auto rename = [](const char* name) {
        return [name](SyncSide& s) { Rename(s.at(2030, 5, 1, 0), QString::fromUtf8(name)); };
    };
    const std::vector<Case> cases{
        {"deleted here, renamed there",
         "DELETE",
         [](SyncSide& s) {
             s.core().grid().DeleteAppointment(2030, 5, 1, 0);
             s.engine().noteDeleted();
         },
         [](const QByteArray& ics) { return QByteArray(ics).replace("SUMMARY:Termin", "SUMMARY:Dort"); },
         {QStringLiteral("09:00 Dort")},
         1,
         {"SUMMARY:Dort"}},
        {"renamed on both sides",
         "PUT",
         rename("Hier"),
         [](const QByteArray& ics) { return QByteArray(ics).replace("SUMMARY:Termin", "SUMMARY:Dort"); },
         {QStringLiteral("09:00 Dort"), QStringLiteral("09:00 Hier (Konflikt)")},
         2,
         {"SUMMARY:Dort", "SUMMARY:Hier (Konflikt)"}},
        {"renamed here, described there",
         "PUT",
         rename("Hier"),
         [](const QByteArray& ics) {
             return QByteArray(ics).replace("SUMMARY:", "DESCRIPTION:Notiz\r\nSUMMARY:");
         },
         {QStringLiteral("09:00 Hier")},
         1,
         {"SUMMARY:Hier", "DESCRIPTION:Notiz"}},
        {"renamed here, deleted there: it goes up anew, with a UID",
         "PUT",
         rename("Hier"),
         [](const QByteArray&) { return QByteArray(); },
         {QStringLiteral("09:00 Hier")},
         1,
         {"SUMMARY:Hier"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RadicaleServer server;
        ASSERT_TRUE(server.ok());
        SyncSide here(server);
        here.add(2030, 5, 1, 9, "Termin");
        EXPECT_SYNCED(here.sync());
        const QString file = server.names().value(0);
        c.here(here);
        bool done = false;
        here.beforeSend = [&](const dw::sync::HttpRequest& request) {
            if (done || request.method != c.method)
                return;
            done = true;
            const QByteArray changed = c.phone(server.get(file));
            EXPECT_EQ(changed.isEmpty() ? server.remove(file) : server.put(file, changed),
                      changed.isEmpty() ? 200 : 201);
        };
        EXPECT_SYNCED(here.sync());
        EXPECT_TRUE(done);
        EXPECT_EQ(here.day(2030, 5, 1), c.dayHere);
        const QStringList names = server.names();
        ASSERT_EQ(names.size(), c.events) << server.everything().constData();
        for (const QByteArray& text : c.onServer)
            EXPECT_TRUE(server.everything().contains(text))
                << text.constData() << server.everything().constData();
        for (const QString& name : names) {
            const QByteArray ics = server.get(name);
            EXPECT_TRUE(ics.contains("\nUID:") && !ics.contains("\nUID:\r")) << ics.constData();
        }
        here.beforeSend = {};
        EXPECT_EQ(here.sync().text(), QStringLiteral("Abgeglichen, nichts geändert."));
    }
}
