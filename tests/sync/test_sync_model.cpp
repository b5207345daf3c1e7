// Two copies of the program (each --sync a process of its own) and a phone
// (curl) on one Radicale, in seeded random rounds of creations, renames,
// moves, description changes, deletions and concurrent edits, each round
// followed by syncs in random order. After every sync each side holds exactly
// what a model of the merge rules says: no copy but a " (Konflikt)" for a real
// concurrent change, nothing lost that was not deleted; and the phone's events
// keep what the program has no field for.
//
//   DW_SYNC_MODEL_SEED (default 28), DW_SYNC_MODEL_ROUNDS (default 50)
#include "RadicaleServer.h"

#include "TestSupport.h"
#include "core/AppCore.h"
#include "ical/IcalEvents.h"
#include "platform/Ansi.h"
#include "platform/DateTime.h"
#include "store/DataFile.h"
#include "sync/SyncEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <compare>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <tuple>

using namespace dwtest;

namespace {

// What the person sees of an appointment.
struct Look
{
    QString name;
    QString description;
    QDate day;
    int minute = 0; // of the day
    std::weak_ordering operator<=>(const Look&) const = default;
};
using Side = std::map<int, Look>; // by the model's own id
using Seen = std::multiset<Look>;

void PrintTo(const Look& l, std::ostream* out)
{
    *out << '\n'
         << l.day.toString(Qt::ISODate).toStdString() << ' ' << l.minute / 60 << ':' << l.minute % 60 << ' '
         << l.name.toStdString() << " / " << l.description.toStdString();
}

Look LookOf(const Appointment& a, QDate day)
{
    int h = 0, min = 0, s = 0, ms = 0;
    dw::DecodeTime(a.TimeOfDay, h, min, s, ms);
    QString description = dw::FromAnsi(a.Description);
    description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return {dw::FromAnsi(a.Name), description, day, h * 60 + min};
}

Seen Contents(const Side& side)
{
    Seen seen;
    for (const auto& [id, look] : side)
        seen.insert(look);
    return seen;
}

// The merge rules as the README states them, for the three sides.
struct Model
{
    Side server;
    Side copy[2];
    Side base[2]; // what each copy agreed on with the server at its last sync
    int next = 0;
    int conflicts = 0;

    void sync(int c)
    {
        std::set<int> ids;
        for (const Side* s : {&server, &copy[c], &base[c]})
            for (const auto& [id, look] : *s)
                ids.insert(id);
        for (int id : ids) {
            const std::optional<Look> b = at(base[c], id), h = at(copy[c], id), t = at(server, id);
            base[c].erase(id);
            if (!b && h && !t) // created here
                server[id] = base[c][id] = *h;
            else if (!b && t && !h) // created there
                copy[c][id] = base[c][id] = *t;
            else if (b && !h && t && *t != *b) // deleted here, changed there: it comes back
                copy[c][id] = base[c][id] = *t;
            else if (b && !h && t) // deleted here
                server.erase(id);
            else if (b && h && !t && *h == *b) // deleted there
                copy[c].erase(id);
            else if (b && h && !t) // changed here, deleted there: it goes up as a new event
                moveTo(c, id, next++);
            else if (b && h && t)
                merge(c, id, *b, *h, *t);
        }
    }

    static std::optional<Look> at(const Side& side, int id)
    {
        const auto found = side.find(id);
        return found == side.end() ? std::nullopt : std::optional<Look>(found->second);
    }

    void moveTo(int c, int id, int to)
    {
        server[to] = base[c][to] = copy[c][to] = copy[c][id];
        copy[c].erase(id);
    }

    void merge(int c, int id, const Look& b, const Look& h, const Look& t)
    {
        Look m = t;
        bool conflict = false;
        const auto part = [&](auto get, auto set) {
            const bool here = get(h) != get(b);
            const bool there = get(t) != get(b);
            if (here && (!there || get(h) == get(t)))
                set(m, get(h));
            else if (here && there)
                conflict = true;
        };
        part([](const Look& l) { return l.name; }, [](Look& l, const QString& v) { l.name = v; });
        part([](const Look& l) { return l.description; },
             [](Look& l, const QString& v) { l.description = v; });
        part([](const Look& l) { return std::make_pair(l.day, l.minute); },
             [](Look& l, const std::pair<QDate, int>& v) { std::tie(l.day, l.minute) = v; });
        if (conflict) {
            Look kept = h;
            kept.name += QStringLiteral(" (Konflikt)");
            const int k = next++;
            ++conflicts;
            server[k] = base[c][k] = copy[c][k] = kept;
        }
        server[id] = base[c][id] = copy[c][id] = m;
    }
};

// The window's engine between syncs: it sends nothing.
class NoNetwork : public dw::sync::Transport
{
public:
    void setCredentials(const QString&, const QString&) override {}
    void setOrigin(const QUrl&) override {}
    void trustCertificate(const QByteArray&) override {}
    void send(const dw::sync::HttpRequest&, std::function<void(const dw::sync::HttpReply&)>) override {}
    void cancelAll() override {}
};

class SyncModel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Every side reads the same clock time: zoned events come in as the phone wrote them.
        qputenv("TZ", "Europe/Berlin");
        tzset();
        ASSERT_TRUE(server.ok());
        for (int c = 0; c < 2; ++c) {
            const QString folder = m_dir.filePath(QString::number(c));
            QDir().mkpath(folder);
            for (const char* file : {"datumswecker", "datumswecker-cli", "datumswecker-sync-net.so"})
                QFile::copy(BinaryDir() + QLatin1Char('/') + QLatin1String(file),
                            folder + QLatin1Char('/') + QLatin1String(file));
            for (const char* program : {"datumswecker", "datumswecker-cli"})
                QFile::setPermissions(folder + QLatin1Char('/') + QLatin1String(program),
                                      QFileDevice::ExeOwner | QFileDevice::ReadOwner |
                                          QFileDevice::WriteOwner);
            QSettings ini(ProgramSettingsPath(folder + QLatin1Char('/')), QSettings::IniFormat);
            ini.setValue(QStringLiteral("sync/url"), server.calendarUrl());
            ini.setValue(QStringLiteral("sync/user"), QString::fromLatin1(RadicaleServer::User));
        }
    }

    QString folder(int c) const { return m_dir.filePath(QString::number(c)) + QLatin1Char('/'); }

    bool sync(int c, QString& output)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
        p.setProcessEnvironment(env);
        p.start(folder(c) + QStringLiteral("datumswecker"),
                {QStringLiteral("--sync"), QStringLiteral("--password-stdin")});
        p.write(QByteArray(RadicaleServer::Password) + '\n');
        p.closeWriteChannel();
        const bool ended = p.waitForFinished(120000);
        output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        ++syncs;
        return ended && p.exitCode() == 0;
    }

    // A copy's termine.dat, read and (when `edit` says so) written through the
    // store, as its window does: with the sync's engine there, which learns of
    // a deletion.
    Seen copyContents(int c, const std::function<bool(CalendarGrid&)>& edit = {}, bool deletes = false)
    {
        AppCore core;
        core.Open(folder(c));
        std::unique_ptr<dw::sync::SyncEngine> window;
        if (edit)
            window = std::make_unique<dw::sync::SyncEngine>(core.grid(), core.dataFolder(),
                                                            std::make_unique<NoNetwork>());
        if (edit && edit(core.grid())) {
            if (deletes)
                window->noteDeleted();
            core.SaveTermins();
        }
        Seen seen;
        core.grid().ForEachDay([&](int y, int m, int d, const DayList& day) {
            for (std::uint32_t i = 0; i < day.count(); ++i)
                seen.insert(LookOf(*day.at(static_cast<std::int32_t>(i)), QDate(y, m, d)));
        });
        core.Close();
        return seen;
    }

    // The server's events by file name, as the import reads them.
    std::map<QString, Look> serverEvents() const
    {
        std::map<QString, Look> events;
        for (const QString& name : server.names()) {
            const dw::ical::ReadResult read = dw::ical::ReadCalendar(server.stored(name));
            if (!read.calendar || read.calendar->appointments.size() != 1) {
                ADD_FAILURE() << "unreadable " << name.toStdString() << server.stored(name).constData();
                continue;
            }
            const dw::ical::ImportedAppointment& a = read.calendar->appointments.front();
            events[name] = {a.name, a.description, a.date, a.hour * 60 + a.minute};
        }
        return events;
    }

    Seen serverContents() const
    {
        Seen seen;
        for (const auto& [name, look] : serverEvents())
            seen.insert(look);
        return seen;
    }

    RadicaleServer server;
    int syncs = 0;

private:
    QTemporaryDir m_dir;
};

QString Stamp(QDate day, int minute)
{
    return day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("T%1%200")
                                                          .arg(minute / 60, 2, 10, QLatin1Char('0'))
                                                          .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

// The phone's change of one of the event's own lines (not its alarms'), or a line added.
QByteArray WithLine(const QByteArray& ics, const QByteArray& key, const QByteArray& line)
{
    QList<QByteArray> lines = QByteArray(ics).replace("\r\n ", "").split('\n');
    bool inAlarm = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray& l = lines[i];
        if (!inAlarm && (l.startsWith("BEGIN:VALARM") || l.startsWith("END:VEVENT"))) {
            lines.insert(i, line + '\r');
            return lines.join('\n');
        }
        inAlarm = (inAlarm || l.startsWith("BEGIN:VALARM")) && !l.startsWith("END:VALARM");
        if (!inAlarm && l.startsWith(key + ':')) {
            l = line + '\r';
            return lines.join('\n');
        }
    }
    return ics;
}

// The phone moves its event's start and, by as much, its end.
QByteArray Moved(const QByteArray& ics, QDate day, int minute)
{
    QByteArray out = QByteArray(ics).replace("\r\n ", "");
    const auto value = [&](const QByteArray& key) -> std::pair<qsizetype, QByteArray> {
        const qsizetype at = out.indexOf("\n" + key, out.indexOf("BEGIN:VEVENT"));
        if (at < 0)
            return {-1, {}};
        const qsizetype colon = out.indexOf(':', at);
        return {colon + 1, out.mid(colon + 1, 15)};
    };
    const auto [startAt, start] = value("DTSTART");
    const QDateTime from =
        QDateTime::fromString(QString::fromLatin1(start), QStringLiteral("yyyyMMddTHHmmss"));
    const QDateTime to(day, QTime(minute / 60, minute % 60));
    out.replace(startAt, 15, Stamp(day, minute).toLatin1());
    if (const auto [endAt, end] = value("DTEND"); endAt > 0) {
        const QDateTime was =
            QDateTime::fromString(QString::fromLatin1(end), QStringLiteral("yyyyMMddTHHmmss"));
        out.replace(endAt, 15,
                    was.addSecs(from.secsTo(to)).toString(QStringLiteral("yyyyMMddTHHmmss")).toLatin1());
    }
    return out;
}

} // namespace

TEST_F(SyncModel, RandomRoundsOnTwoCopiesAndAPhoneEndAsTheRulesSay)
{
    const unsigned seed = qEnvironmentVariableIsSet("DW_SYNC_MODEL_SEED")
                              ? qEnvironmentVariable("DW_SYNC_MODEL_SEED").toUInt()
                              : 28u;
    const int rounds = qEnvironmentVariableIsSet("DW_SYNC_MODEL_ROUNDS")
                           ? qEnvironmentVariableIntValue("DW_SYNC_MODEL_ROUNDS")
                           : 50;
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Model model;
    int renamed = 0;
    int edited = 0;
    QElapsedTimer took;
    took.start();
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1, round %2").arg(seed).arg(round).toStdString());
        // A start no other appointment of the day has, so that each is told apart by it.
        const auto freeStart = [&](QDate day) {
            std::set<int> taken;
            for (const Side* s : {&model.server, &model.copy[0], &model.copy[1]})
                for (const auto& [id, l] : *s)
                    if (l.day == day)
                        taken.insert(l.minute);
            int minute = 0;
            do
                minute = 6 * 60 + 5 * pick(150);
            while (taken.count(minute));
            return minute;
        };
        // Each side changes an item at most once a round; the same item on two
        // sides is a concurrent change.
        std::set<std::pair<int, int>> touched;
        int hot = -1;
        for (int edits = 1 + pick(4); edits > 0; --edits) {
            const int side = pick(3); // 0, 1: a copy; 2: the phone
            Side& where = side < 2 ? model.copy[side] : model.server;
            const int op = where.empty() ? 0 : pick(6);
            int id = -1;
            if (op > 0) {
                auto it = where.begin();
                std::advance(it, pick(static_cast<int>(where.size())));
                // Half the time the item another side changed this round: a concurrent change.
                id = hot >= 0 && where.count(hot) && pick(2) == 0 ? hot : it->first;
                if (!touched.insert({side, id}).second)
                    continue;
                hot = id;
            }
            const Look before = op > 0 ? where[id] : Look{};
            Look after = before;
            if (op == 0) {
                id = model.next++;
                touched.insert({side, id});
                after.day = QDate(2030, 5, 1 + pick(6));
                after.minute = freeStart(after.day);
                after.name = QStringLiteral("T%1").arg(id);
            } else if (op == 1) {
                after.name = QStringLiteral("T%1 r%2").arg(id).arg(++renamed);
            } else if (op == 2) {
                // A copy's window moves an appointment within its day; the phone anywhere.
                after.day = side < 2 ? before.day : QDate(2030, 5, 1 + pick(6));
                after.minute = freeStart(after.day);
            } else if (op == 3 || op == 4) {
                after.description = QStringLiteral("Notiz %1").arg(++renamed);
            }
            if (side < 2) {
                copyContents(
                    side,
                    [&](CalendarGrid& grid) {
                        if (op == 0)
                            grid.NewAppointment(after.day.year(), after.day.month(), after.day.day());
                        DayList& day = grid.Day(after.day.year(), after.day.month(), after.day.day());
                        for (std::uint32_t i = 0; i < day.count(); ++i) {
                            Appointment& a = *day.at(static_cast<std::int32_t>(i));
                            // Conflict copies may share name and start: the whole look tells them apart.
                            const bool isNew = op == 0 && i + 1 == day.count();
                            if (!isNew && LookOf(a, after.day) != before)
                                continue;
                            if (op == 5)
                                return grid.DeleteAppointment(after.day.year(), after.day.month(),
                                                              after.day.day(), static_cast<std::int32_t>(i));
                            ReplaceText(a.Name, dw::ToAnsi(after.name));
                            ReplaceText(a.Description, dw::ToAnsi(after.description));
                            a.TimeOfDay = dw::EncodeTime(after.minute / 60, after.minute % 60);
                            return true;
                        }
                        ADD_FAILURE() << "not in copy " << side << ": " << before.name.toStdString();
                        return false;
                    },
                    op == 5);
            } else if (op == 0) {
                const bool zoned = pick(2) == 0;
                const QString start = Stamp(after.day, after.minute);
                const QString end = Stamp(after.day, after.minute + 60);
                const QString zone = zoned ? QStringLiteral(";TZID=Europe/Berlin") : QString();
                ASSERT_EQ(server.put(QStringLiteral("phone-%1.ics").arg(id),
                                     Event(QStringLiteral("phone-%1").arg(id), start, after.name,
                                           QStringLiteral("DTEND%1:%2\r\nLOCATION:Raum %3\r\nX-TELEFON:1\r\n")
                                               .arg(zone, end)
                                               .arg(id))
                                         .replace("DTSTART:", "DTSTART" + zone.toLatin1() + ":")),
                          201);
            } else {
                QString file;
                for (const auto& [name, look] : serverEvents())
                    if (look == before)
                        file = name;
                ASSERT_FALSE(file.isEmpty()) << before.name.toStdString();
                const QByteArray ics = server.stored(file);
                QByteArray changed;
                if (op == 1)
                    changed = WithLine(ics, "SUMMARY", "SUMMARY:" + after.name.toUtf8());
                else if (op == 2)
                    changed = Moved(ics, after.day, after.minute);
                else if (op == 3 || op == 4)
                    changed = WithLine(ics, "DESCRIPTION", "DESCRIPTION:" + after.description.toUtf8());
                const int status = op == 5 ? server.remove(file) : server.put(file, changed);
                ASSERT_TRUE(status == 200 || status == 201 || status == 204) << status << '\n'
                                                                             << changed.constData();
            }
            ++edited;
            if (op == 5)
                where.erase(id);
            else
                where[id] = after;
        }
        const int first = pick(2);
        for (const int c : {first, 1 - first, first}) {
            QString output;
            ASSERT_TRUE(sync(c, output)) << "copy " << c << ": " << output.toStdString();
            model.sync(c);
            ASSERT_EQ(copyContents(c), Contents(model.copy[c]))
                << "copy " << c << " after its sync: " << output.toStdString();
            ASSERT_EQ(serverContents(), Contents(model.server))
                << "the server after copy " << c << "'s sync: " << output.toStdString();
        }
        ASSERT_EQ(copyContents(0), copyContents(1));
        // What the program has no field for stays on the phone's events; every event has a UID.
        for (const QString& name : server.names()) {
            const QByteArray ics = QByteArray(server.stored(name)).replace("\r\n ", "");
            EXPECT_TRUE(ics.contains("\nUID:") && !ics.contains("\nUID:\r")) << ics.constData();
            if (!name.startsWith(QLatin1String("phone-")))
                continue;
            for (const char* kept : {"LOCATION:Raum", "X-TELEFON:1", "DTEND"})
                EXPECT_TRUE(ics.contains(kept)) << kept << '\n' << ics.constData();
            EXPECT_FALSE(ics.contains("BEGIN:VALARM")) << ics.constData();
        }
    }
    std::printf(
        "%d rounds, %d syncs, %d edits, %d conflicts kept twice, %zu appointments at the end; seed %u, "
        "%.0f s\n",
        rounds, syncs, edited, model.conflicts, model.server.size(), seed, took.elapsed() / 1000.0);
}
