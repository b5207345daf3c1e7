// The lock and the channel that keep one running copy per data folder.
#include "TestSupport.h"
#include "instance/InstanceChannel.h"
#include "instance/SingleInstance.h"
#include "platform/DataFolder.h"
#include "platform/LocalSocket.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <future>
#include <gtest/gtest.h>

namespace {

QJsonObject Parse(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

// A request sent from another thread while this one serves it.
std::optional<QJsonObject> Ask(const QString& name, const QJsonObject& request)
{
    auto answer =
        std::async(std::launch::async, [&] { return SendInstanceRequest(name, request, 2000, 5000); });
    while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return answer.get();
}

QString Folder(const QTemporaryDir& dir)
{
    return dir.path() + QLatin1Char('/');
}

} // namespace

TEST(InstanceChannel, AnswersEveryRequestWithOneObject)
{
    InstanceServer server;
    int shown = 0;
    ServeShowCommand(server, [&] { ++shown; });
    server.registerCommand(QStringLiteral("import"), [](const QJsonObject& request) {
        return QJsonObject{{QStringLiteral("ok"), true},
                           {QStringLiteral("report"), request[QStringLiteral("file")]}};
    });
    struct Case
    {
        QByteArray line;
        QJsonObject answer;
    };
    const Case cases[] = {
        {R"({"cmd":"show"})", Parse(R"({"ok":true})")},
        {R"({"cmd":"import","file":"/tmp/a.ics"})", Parse(R"({"ok":true,"report":"/tmp/a.ics"})")},
        {R"({"cmd":"quit"})", Parse(R"({"ok":false,"error":"Unbekannter Befehl „quit“."})")},
        {R"({"file":"x"})", Parse(R"({"ok":false,"error":"Die Anfrage nennt keinen Befehl."})")},
        {R"(["show"])", Parse(R"({"ok":false,"error":"Die Anfrage ist kein gültiges JSON-Objekt."})")},
        {"show", Parse(R"({"ok":false,"error":"Die Anfrage ist kein gültiges JSON-Objekt."})")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(server.answer(c.line), c.answer) << c.line.constData();
    EXPECT_EQ(shown, 1);
}

TEST(InstanceChannel, TravelsOverTheLocalSocket)
{
    QTemporaryDir dir;
    const QString name = dw::InstanceServerName(Folder(dir));
    EXPECT_EQ(SendInstanceRequest(name, Parse(R"({"cmd":"show"})"), 200), std::nullopt); // nobody listens

    // What a copy that crashed left under the name is replaced, and the new
    // socket is the user's alone.
    const QString path = dw::LocalSocketPath(name);
    QFile left(path);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();
    {
        InstanceServer server;
        int shown = 0;
        ServeShowCommand(server, [&] { ++shown; });
        ASSERT_TRUE(server.listen(name));
        EXPECT_EQ(QFileInfo(path).permissions() &
                      ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                  QFile::Permissions());
        EXPECT_EQ(Ask(name, Parse(R"({"cmd":"show"})")), Parse(R"({"ok":true})"));
        EXPECT_EQ(Ask(name, Parse(R"({"cmd":"import"})")).value()[QStringLiteral("ok")], false);
        EXPECT_EQ(shown, 1);
    }
    EXPECT_FALSE(QFileInfo::exists(path)) << "the socket goes with its server";
}

TEST(SingleInstance, OneCopyPerFolderAndTheLockOfADeadCopyIsTakenOver)
{
    QTemporaryDir a;
    QTemporaryDir b;
    {
        SingleInstance first(Folder(a));
        ASSERT_TRUE(first.claim());
        SingleInstance second(Folder(a));
        EXPECT_FALSE(second.claim()) << "a second copy on the same folder";
        SingleInstance elsewhere(Folder(b));
        EXPECT_TRUE(elsewhere.claim()) << "another folder is another copy";
    }
    SingleInstance after(Folder(a));
    EXPECT_TRUE(after.claim()) << "the lock outlived its copy";

    // A lock file left by a process that no longer runs.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted(5000));
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished(5000));
    QTemporaryDir c;
    QFile stale(dw::InstanceLockPath(Folder(c)));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(deadPid) + "\ndatumswecker\n" + QSysInfo::machineHostName().toUtf8() +
                '\n');
    stale.close();
    SingleInstance revived(Folder(c));
    EXPECT_TRUE(revived.claim());
}

TEST(SingleInstance, ALaterStartHandsOverOrSaysWhyItCannot)
{
    QTemporaryDir dir;
    SingleInstance running(Folder(dir));
    ASSERT_TRUE(running.claim());
    int shown = 0;
    ServeShowCommand(running.server(), [&] { ++shown; });
    auto later =
        std::async(std::launch::async, [&] { return SingleInstance(Folder(dir)).claimOrHandOver(); });
    while (later.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents();
    EXPECT_EQ(later.get(), 0);
    EXPECT_EQ(shown, 1);

    // The lock is held, but nobody answers (an import from the command line that takes too long).
    QTemporaryDir silent;
    SingleInstance importing(Folder(silent));
    ASSERT_TRUE(importing.lockFolder());
    dwtest::ScriptedMessageBoxes boxes;
    EXPECT_EQ(SingleInstance(Folder(silent)).claimOrHandOver(300), 1);
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts().constFirst().contains(QStringLiteral("antwortet aber nicht")));
}

// Ten imports started at once into one folder: each waits its turn at the lock,
// and every event arrives exactly once.
TEST(FolderLock, ImportsStartedTogetherEachWaitTheirTurn)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("datumswecker"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(DW_PROGRAM), program));
    // The command line hands --import to the program beside it.
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(DW_CLI_PROGRAM), dir.filePath(QStringLiteral("datumswecker-cli"))));
    constexpr int Imports = 10;
    constexpr int Events = 190;
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < Imports; ++i) {
        QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
        for (int e = 0; e < Events; ++e)
            ics += "BEGIN:VEVENT\r\nDTSTART:20300101T" + QByteArray::number(100000 + e % 60) +
                   "\r\nSUMMARY:Import " + QByteArray::number(i) + " Termin " + QByteArray::number(e) +
                   "\r\nEND:VEVENT\r\n";
        QFile file(dir.filePath(QStringLiteral("%1.ics").arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(ics + "END:VCALENDAR\r\n") > 0);
        file.close();
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(program, {QStringLiteral("--import"), file.fileName()});
    }
    for (auto& run : runs) {
        ASSERT_TRUE(run->waitForFinished(120000));
        EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().constData();
        EXPECT_TRUE(
            run->readAllStandardOutput().contains(QByteArray("Hinzugefügt: ") + QByteArray::number(Events)));
    }
    QProcess agenda;
    agenda.start(program, {QStringLiteral("--export"), QStringLiteral("-")});
    ASSERT_TRUE(agenda.waitForFinished(60000));
    const QByteArray all = agenda.readAllStandardOutput();
    EXPECT_EQ(all.count("BEGIN:VEVENT"), Imports * Events);
    EXPECT_EQ(all.count("SUMMARY:Import 9 Termin 189\r\n"), 1);
}

TEST(SingleInstance, ALaterStartHandsItsLaunchTokenToTheRunningCopy)
{
    QTemporaryDir dir;
    SingleInstance running(Folder(dir));
    ASSERT_TRUE(running.claim());
    QStringList tokens;
    ServeShowCommand(running.server(), [&](const QString& token) { tokens << token; });
    for (const QString& token : {QStringLiteral("launcher-1_TIME42"), QString()}) {
        auto later = std::async(std::launch::async, [&] {
            SingleInstance second(Folder(dir));
            second.setLaunchToken(token);
            return second.claimOrHandOver();
        });
        while (later.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QCoreApplication::processEvents();
        EXPECT_EQ(later.get(), 0);
    }
    EXPECT_EQ(tokens, (QStringList{QStringLiteral("launcher-1_TIME42"), QString()}));
}
