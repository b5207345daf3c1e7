// The command line beside the real program running on the same data folder.
#include "XSession.h"

#include "TestSupport.h"

#include <QFile>
#include <QProcess>

#include <csignal>
#include <gtest/gtest.h>

using namespace dwtest;

namespace {

const QString MainTitle = QStringLiteral("Norvex Datumswecker 1.0");

using CommandLineBeside = RealProgramTest;

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

Outcome Command(const XSession& session, const ProgramRun& run, const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(session.environment());
    p.start(run.folder() + QStringLiteral("/datumswecker"), args);
    Outcome o;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromUtf8(p.readAllStandardOutput());
    o.err = QString::fromUtf8(p.readAllStandardError());
    return o;
}

} // namespace

TEST_F(CommandLineBeside, ImportIsHandedToTheRunningCopyWhichSavesIt)
{
    ProgramRun run(x());
    ASSERT_TRUE(run.start());
    ASSERT_NE(x().waitForWindow(MainTitle), 0u) << run.output().toStdString();
    const QString calendar = SourceDir() + QStringLiteral("/tests/data/ics/utc.ics");

    Outcome o = Command(x(), run, {QStringLiteral("--import"), calendar});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("Hinzugefügt: 2"))) << o.out.toStdString();
    // The running copy saved at once: a reading option finds the appointments in the file.
    o = Command(x(), run,
                {QStringLiteral("--agenda"), QStringLiteral("2024-07-01"), QStringLiteral("--days"),
                 QStringLiteral("1"), QStringLiteral("--json")});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("\"name\":\"Mittag in UTC\""))) << o.out.toStdString();

    o = Command(x(), run, {QStringLiteral("--import"), calendar});
    EXPECT_TRUE(o.out.contains(QStringLiteral("Übersprungen, schon vorhanden: 2"))) << o.out.toStdString();
    o = Command(x(), run,
                {QStringLiteral("--import"), SourceDir() + QStringLiteral("/tests/data/ics/damaged.ics")});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(o.err.contains(QStringLiteral("Zeile 8"))) << o.err.toStdString();
    EXPECT_TRUE(run.running());

    EXPECT_EQ(run.terminate(SIGTERM), 0);
    QFile file(run.dataFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("Nachts in UTC") && bytes.contains("Mittag in UTC"));
}
