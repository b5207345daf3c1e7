// --sync-account and --sync of the real program, without a window and without
// a secret store: the password from standard input, never in a file.
#include "RadicaleServer.h"

#include "TestSupport.h"

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
        for (const char* file : {"datumswecker", "datumswecker-sync-net.so"})
            QFile::copy(BinaryDir() + QLatin1Char('/') + QLatin1String(file),
                        m_dir.filePath(QLatin1String(file)));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("datumswecker")),
                              QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    Outcome run(const QStringList& args, const QByteArray& input = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // No desktop session: no secret store answers.
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        env.insert(QStringLiteral("DATUMSWECKER_TEST_NOW"), QStringLiteral("2030-05-01T12:00:00"));
        p.setProcessEnvironment(env);
        p.start(m_dir.filePath(QStringLiteral("datumswecker")), args);
        p.write(input);
        p.closeWriteChannel();
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

    QTemporaryDir m_dir;
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
