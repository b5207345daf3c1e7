// --sync-account and --sync of the real program, without a window and without
// a secret store: the password from standard input, never in a file.
#include "RadicaleServer.h"

#include "TestSupport.h"
#include "XSession.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dwtest;

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

class SyncCommandLine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* file :
             {"datumswecker", "datumswecker-cli", "datumswecker-window", "datumswecker-sync-net.so"})
            QFile::copy(BinaryDir() + QLatin1Char('/') + QLatin1String(file),
                        m_dir.filePath(QLatin1String(file)));
        for (const char* program : {"datumswecker", "datumswecker-cli", "datumswecker-window"})
            QFile::setPermissions(m_dir.filePath(QLatin1String(program)),
                                  QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    Outcome run(const QStringList& args, const QByteArray& input = {},
                const QProcessEnvironment& session = {})
    {
        QProcess p;
        start(p, args, input, session);
        Outcome r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    void start(QProcess& p, const QStringList& args, const QByteArray& input,
               const QProcessEnvironment& session = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // No desktop session: no secret store answers.
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        env.insert(session);
        env.insert(QStringLiteral("DATUMSWECKER_TEST_NOW"), QStringLiteral("2030-05-01T12:00:00"));
        p.setProcessEnvironment(env);
        p.start(m_dir.filePath(QStringLiteral("datumswecker")), args);
        p.write(input);
        p.waitForBytesWritten(30000); // the caller may not run an event loop
        p.closeWriteChannel();
    }

    // --sync-account on the server's calendar, the password from standard input: the exit status.
    int setUpAccount(const RadicaleServer& server)
    {
        return run({QStringLiteral("--sync-account"), server.calendarUrl(),
                    QString::fromLatin1(RadicaleServer::User), QStringLiteral("--password-stdin")},
                   QByteArray(RadicaleServer::Password) + "\n")
            .status;
    }

    QTemporaryDir m_dir;
};

// A desktop's secret store of the test's own: a private session bus and
// gnome-keyring's Secret Service on it, its keyring unlocked, in a temporary home.
class SecretService
{
public:
    SecretService()
    {
        for (const char* folder : {"data", "run"})
            QDir(m_home.path()).mkdir(QLatin1String(folder));
        QFile::setPermissions(m_home.filePath(QStringLiteral("run")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                    QStringLiteral("--print-address")});
        if (!m_bus.waitForReadyRead(30000))
            return;
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(m_bus.readLine()).trimmed());
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("run")));
        QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
        all.insert(env);
        m_keyring.setProcessEnvironment(all);
        m_keyring.start(QStringLiteral("gnome-keyring-daemon"),
                        {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                         QStringLiteral("--components=secrets")});
        m_keyring.waitForStarted(30000);
        m_keyring.write("kennwort");
        m_keyring.waitForBytesWritten(30000);
        m_keyring.closeWriteChannel();
        m_ok = PollUntil(
            [&] {
                QProcess ask;
                ask.setProcessEnvironment(all);
                ask.start(QStringLiteral("dbus-send"),
                          {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                           QStringLiteral("--dest=org.freedesktop.DBus"),
                           QStringLiteral("/org/freedesktop/DBus"),
                           QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                           QStringLiteral("string:org.freedesktop.secrets")});
                ask.waitForFinished(5000);
                return ask.readAllStandardOutput().contains("true");
            },
            30000);
    }
    ~SecretService()
    {
        for (QProcess* p : {&m_keyring, &m_bus}) {
            p->terminate();
            if (!p->waitForFinished(30000))
                p->kill();
            p->waitForFinished(30000);
        }
    }
    bool ok() const { return m_ok; }
    QProcessEnvironment env;

private:
    QTemporaryDir m_home;
    QProcess m_bus;
    QProcess m_keyring;
    bool m_ok = false;
};

} // namespace

TEST_F(SyncCommandLine, AccountThenSyncWithThePasswordFromStandardInput)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    ASSERT_EQ(
        server.put(QStringLiteral("a.ics"), Event(QStringLiteral("a"), QStringLiteral("20300501T080000"),
                                                  QStringLiteral("Vom Server"))),
        201);
    Outcome r = run({QStringLiteral("--sync")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("kein Kalender-Server eingerichtet"))) << r.err.toStdString();

    r = run({QStringLiteral("--sync-account"), QStringLiteral("http://192.0.2.1/kalender/"),
             QStringLiteral("anna"), QStringLiteral("--password-stdin")},
            "x\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("https://"))) << r.err.toStdString();

    const QByteArray password = QByteArray(RadicaleServer::Password);
    r = run({QStringLiteral("--sync-account"), server.calendarUrl(),
             QString::fromLatin1(RadicaleServer::User), QStringLiteral("--password-stdin")},
            password + "\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Kein Schlüsselbund"))) << r.out.toStdString();

    const std::vector<std::pair<QByteArray, int>> passes{{"falsch\n", 2}, {password + "\n", 0}, {{}, 2}};
    for (const auto& [input, status] : passes) {
        QStringList args{QStringLiteral("--sync")};
        if (!input.isEmpty())
            args << QStringLiteral("--password-stdin");
        r = run(args, input);
        EXPECT_EQ(r.status, status) << input.constData() << r.out.toStdString() << r.err.toStdString();
    }
    r = run({QStringLiteral("--agenda"), QStringLiteral("2030-05-01"), QStringLiteral("--days"),
             QStringLiteral("1")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("Vom Server"))) << r.out.toStdString();
    // Nothing of the password in the data folder.
    for (const QFileInfo& file : QDir(m_dir.path()).entryInfoList(QDir::Files)) {
        QFile f(file.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.readAll().contains(password)) << file.fileName().toStdString();
    }
}

TEST_F(SyncCommandLine, ThePasswordGoesIntoTheSecretStoreAndComesBackFromIt)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    SecretService secrets;
    ASSERT_TRUE(secrets.ok());
    Outcome r = run({QStringLiteral("--sync-account"), server.calendarUrl(),
                     QString::fromLatin1(RadicaleServer::User), QStringLiteral("--password-stdin")},
                    QByteArray(RadicaleServer::Password) + "\n", secrets.env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Schlüsselbund der Arbeitsumgebung"))) << r.out.toStdString();
    r = run({QStringLiteral("--sync")}, {}, secrets.env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
}

// The program killed (SIGKILL) early and late in its uploads: each start takes
// up what the last left, and in the end every appointment is there once.
TEST_F(SyncCommandLine, AKilledSyncIsTakenUpWithNothingLostOrDoubled)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    const int count = 200;
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//DE\r\n";
    for (int i = 0; i < count; ++i)
        ics += QStringLiteral("BEGIN:VEVENT\r\nUID:k%1\r\nDTSTAMP:20240101T000000Z\r\n"
                              "DTSTART:2031%2%3T090000\r\nSUMMARY:Termin %1\r\nEND:VEVENT\r\n")
                   .arg(i)
                   .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                   .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                   .toUtf8();
    QFile many(m_dir.filePath(QStringLiteral("viele.ics")));
    ASSERT_TRUE(many.open(QIODevice::WriteOnly));
    many.write(ics + "END:VCALENDAR\r\n");
    many.close();
    ASSERT_EQ(run({QStringLiteral("--import"), many.fileName()}).status, 0);
    const QByteArray password = QByteArray(RadicaleServer::Password) + "\n";
    ASSERT_EQ(setUpAccount(server), 0);
    for (const int killAt : {1, count / 2}) {
        QProcess p;
        start(p, {QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, password);
        ASSERT_TRUE(PollUntil([&] { return server.names().size() >= killAt; }, 60000));
        p.kill();
        p.waitForFinished();
        ASSERT_LT(server.names().size(), count) << "the sync ended before it was killed";
    }
    const Outcome r = run({QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, password);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(server.names().size(), count);
    const QString exported = m_dir.filePath(QStringLiteral("zurueck.ics"));
    ASSERT_EQ(run({QStringLiteral("--export"), exported}).status, 0);
    QFile back(exported);
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll().count("BEGIN:VEVENT"), count);
    EXPECT_TRUE(run({QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, password)
                    .out.contains(QStringLiteral("nichts geändert")));
}

// Each --sync is a process of its own that starts with the ties the last one
// stored: a rename on the server changes the appointment (no second one), a
// deletion there is applied, and a rename here changes the server's event.
TEST_F(SyncCommandLine, EverySyncProcessKnowsWhatTheLastOneTied)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    for (const char* name : {"Eins", "Zwei", "Drei"})
        ASSERT_EQ(
            server.put(QStringLiteral("%1.ics").arg(QLatin1String(name)),
                       Event(QLatin1String(name), QStringLiteral("20300501T090000"), QLatin1String(name))),
            201);
    const QByteArray password = QByteArray(RadicaleServer::Password) + "\n";
    ASSERT_EQ(setUpAccount(server), 0);
    const QStringList sync{QStringLiteral("--sync"), QStringLiteral("--password-stdin")};
    Outcome r = run(sync, password);
    ASSERT_TRUE(r.out.contains(QStringLiteral("Vom Server neu: 3")))
        << r.out.toStdString() << r.err.toStdString();
    ASSERT_EQ(
        server.put(QStringLiteral("Zwei.ics"),
                   server.get(QStringLiteral("Zwei.ics")).replace("SUMMARY:Zwei", "SUMMARY:Zwei umbenannt")),
        201);
    ASSERT_EQ(server.remove(QStringLiteral("Drei.ics")), 200);
    r = run(sync, password);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Vom Server geändert: 1"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Auf dem Server gelöscht: 1"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Vom Server neu"))) << r.out.toStdString();
    const QString exported = m_dir.filePath(QStringLiteral("hier.ics"));
    ASSERT_EQ(run({QStringLiteral("--export"), exported}).status, 0);
    QFile back(exported);
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    const QByteArray here = back.readAll();
    EXPECT_EQ(here.count("BEGIN:VEVENT"), 2) << here.constData();
    EXPECT_TRUE(here.contains("SUMMARY:Zwei umbenannt")) << here.constData();
    EXPECT_EQ(server.names(), (QStringList{QStringLiteral("Eins.ics"), QStringLiteral("Zwei.ics")}));
}

// A server that points discovery to another host, lists hrefs outside the
// calendar, breaks off its answer, sends far too much, too slowly or a header
// too long, or events that cost: the password stays with 127.0.0.1, nothing is
// sent outside the calendar, each pass ends within its bounds, and termine.dat
// is left as it was by every pass refused.
TEST_F(SyncCommandLine, AHostileServerGetsNothingOutsideTheCalendar)
{
    QTemporaryDir logDir;
    const QString log = logDir.filePath(QStringLiteral("requests.log"));
    QProcess server;
    server.start(QStringLiteral("python3"),
                 {QStringLiteral(DW_SOURCE_DIR "/tests/sync/hostile_dav.py"), log});
    while (!server.canReadLine() && server.waitForReadyRead(30000)) {
    }
    const QStringList ports = QString::fromLatin1(server.readLine()).split(QLatin1Char(' '));
    ASSERT_EQ(ports.size(), 2) << server.readAllStandardError().constData();
    const QString here = QStringLiteral("127.0.0.1:") + ports[0].trimmed();
    const QString other = QStringLiteral("127.0.0.2:") + ports[1].trimmed();

    QFile ics(m_dir.filePath(QStringLiteral("eins.ics")));
    ASSERT_TRUE(ics.open(QIODevice::WriteOnly));
    ics.write(Event(QStringLiteral("eins"), QStringLiteral("20300501T080000"), QStringLiteral("Hier")));
    ics.close();
    ASSERT_EQ(run({QStringLiteral("--import"), ics.fileName()}).status, 0);
    QFile data(m_dir.filePath(QStringLiteral("termine.dat")));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray before = data.readAll();
    data.close();

    const std::vector<std::tuple<const char*, int, QString>> passes{
        {"/dav/", 2, QStringLiteral("Der Server %1 verweist auf einen anderen Server, %2").arg(here, other)},
        {"/cal/", 0, QStringLiteral("Außerhalb des Kalenders, übersprungen: 3")},
        {"/reset/", 2, QStringLiteral("Verbindung unterbrochen")},
        {"/huge/", 2, QStringLiteral("größer als 64 MB")},
        {"/trickle/", 2, QStringLiteral("mehr als 5,0 Sekunden für den ganzen Durchgang")},
        {"/header/", 2, QStringLiteral("ein Feld ist zu lang")},
        {"/line/", 2, QStringLiteral("Die Zeile ist zu lang")},
        {"/exceptions/", 2, QStringLiteral("mehr als 1.000 geänderte Wiederholungen")},
    };
    for (const auto& [path, status, says] : passes) {
        {
            QSettings ini(m_dir.filePath(QStringLiteral("datumswecker.ini")), QSettings::IniFormat);
            ini.setValue(QStringLiteral("sync/url"),
                         QStringLiteral("http://%1%2").arg(here, QLatin1String(path)));
            ini.setValue(QStringLiteral("sync/user"), QStringLiteral("anna"));
            // Short for the slow server only: Qt reads a 1 MB header for seconds on a busy machine.
            ini.setValue(QStringLiteral("sync/seconds"), qstrcmp(path, "/trickle/") == 0 ? 5 : 120);
        }
        const Outcome r = run({QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, "geheim\n");
        EXPECT_EQ(r.status, status) << path << r.err.toStdString();
        EXPECT_TRUE((r.out + r.err).contains(says)) << path << (r.out + r.err).toStdString();
        if (status != 0) {
            ASSERT_TRUE(data.open(QIODevice::ReadOnly));
            EXPECT_EQ(data.readAll(), before) << path;
            data.close();
        }
    }
    QFile requests(log);
    ASSERT_TRUE(requests.open(QIODevice::ReadOnly));
    int puts = 0;
    for (const QByteArray& line : requests.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        EXPECT_TRUE(line.startsWith(here.toLatin1() + ' ')) << line.constData();
        const QList<QByteArray> f = line.split(' ');
        if (f.value(1) == "PUT") {
            ++puts;
            EXPECT_TRUE(f.value(2).startsWith("/cal/")) << line.constData();
        }
    }
    EXPECT_EQ(puts, 1);
    server.kill();
    server.waitForFinished();
}

// --sync-account tries the address and password before it keeps them; --sync
// on a terminal asks for the password without echo where no secret store holds it.
TEST_F(SyncCommandLine, TheAccountIsTriedAndThePasswordAskedOnATerminal)
{
    RadicaleServer server;
    ASSERT_TRUE(server.ok());
    const QStringList account{QStringLiteral("--sync-account"), server.calendarUrl(),
                              QString::fromLatin1(RadicaleServer::User), QStringLiteral("--password-stdin")};
    Outcome r = run(account, "falsch\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nicht eingerichtet"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("datumswecker.ini"))));
    r = run(account, QByteArray(RadicaleServer::Password) + "\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Kalender: „anna/kalender“ (%1)").arg(server.calendarUrl())))
        << r.out.toStdString();

    // A terminal of its own (python3's pty): the prompt, the password typed, nothing echoed.
    const char* script = "import os, pty, sys\n"
                         "pid, fd = pty.fork()\n"
                         "if pid == 0: os.execv(sys.argv[1], sys.argv[1:])\n"
                         "out = b''\n"
                         "def read():\n"
                         "    global out\n"
                         "    chunk = os.read(fd, 1024)\n"
                         "    sys.stdout.buffer.write(chunk); sys.stdout.flush(); out += chunk\n"
                         "    return chunk\n"
                         "while b'Passwort' not in out: read()\n"
                         "os.write(fd, os.environ['PW'].encode() + b'\\n')\n"
                         "try:\n"
                         "    while read(): pass\n"
                         "except OSError: pass\n"
                         "sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))\n";
    QProcess terminal;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    env.insert(QStringLiteral("PW"), QString::fromLatin1(RadicaleServer::Password));
    terminal.setProcessEnvironment(env);
    terminal.start(QStringLiteral("python3"),
                   {QStringLiteral("-c"), QString::fromLatin1(script),
                    m_dir.filePath(QStringLiteral("datumswecker")), QStringLiteral("--sync")});
    const bool ended = terminal.waitForFinished(60000);
    const QByteArray seen = terminal.readAllStandardOutput();
    ASSERT_TRUE(ended) << seen.constData() << terminal.readAllStandardError().constData();
    EXPECT_EQ(terminal.exitCode(), 0) << seen.constData() << terminal.readAllStandardError().constData();
    EXPECT_TRUE(seen.contains("Abgeglichen")) << seen.constData();
    EXPECT_FALSE(seen.contains(RadicaleServer::Password)) << seen.constData();
}

// A self-signed certificate: refused with its fingerprint, trusted by it, and
// another certificate is refused again.
TEST_F(SyncCommandLine, ASelfSignedCertificateIsTrustedByItsFingerprintOnly)
{
    RadicaleServer server(true);
    ASSERT_TRUE(server.ok());
    const QByteArray password = QByteArray(RadicaleServer::Password) + "\n";
    QStringList account{QStringLiteral("--sync-account"), server.calendarUrl(),
                        QString::fromLatin1(RadicaleServer::User), QStringLiteral("--password-stdin")};
    Outcome r = run(account, password);
    EXPECT_EQ(r.status, 2);
    const QRegularExpression shown(QStringLiteral("Fingerabdruck \\(SHA-256\\): ([0-9A-F:]{95})"));
    const QString fingerprint = shown.match(r.err).captured(1);
    ASSERT_FALSE(fingerprint.isEmpty()) << r.err.toStdString();
    r = run({QStringLiteral("--trust-certificate"), QStringLiteral("12:34")});
    EXPECT_EQ(r.status, 2);
    account << QStringLiteral("--trust-certificate") << fingerprint;
    r = run(account, password);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run({QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, password);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();

    RadicaleServer another(true);
    ASSERT_TRUE(another.ok());
    {
        QSettings ini(m_dir.filePath(QStringLiteral("datumswecker.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("sync/url"), another.calendarUrl());
    }
    r = run({QStringLiteral("--sync"), QStringLiteral("--password-stdin")}, password);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nicht vertrauenswürdig"))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(fingerprint));
}
