// --sync-account and --sync of the real program, without a window and without
// a secret store: the password from standard input, never in a file.
#include "RadicaleServer.h"

#include "TestSupport.h"
#include "XSession.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
