// Saves interrupted from outside: a disk that fills up and a process killed in
// the middle of saving, for termine.dat and for the series file beside it.
// The helper program saves known stores.
#include "KnownStates.h"
#include "StoreTestSupport.h"
#include "series/SeriesReader.h"
#include "series/SeriesWriter.h"
#include "store/AtomicFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

using namespace storetest;

namespace {

const QString SaveTool = QStringLiteral(DW_SAVE_TOOL);

// One of the files the program saves: its name, the bytes of its two known
// states, and whether bytes read back wholly.
struct SavedFile
{
    const char* name;
    QByteArray (*known)(char which);
    bool (*readable)(const QByteArray& bytes);
};

const SavedFile Files[] = {
    {"termine.dat",
     [](char which) {
         auto grid = std::make_unique<CalendarGrid>();
         BuildKnownState(*grid, which);
         return Serialize(*grid, KnownSettings(which));
     },
     [](const QByteArray& bytes) {
         auto grid = NewGrid();
         return Deserialize(bytes, *grid).complete;
     }},
    {"datumswecker-serien.ics",
     [](char which) { return QByteArray::fromStdString(dw::series::WriteSeriesFile(KnownSeries(which))); },
     [](const QByteArray& bytes) {
         return dw::series::ReadSeries(std::string_view(bytes.constData(), bytes.size())).complete;
     }},
};

class SaveProcess : public ::testing::TestWithParam<SavedFile>
{
};

// Runs a shell line; -1 when it did not end within the timeout (it is killed then).
int RunShell(const QString& line, int timeoutMs = 20000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("bash"), {QStringLiteral("-c"), line});
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString Quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QStringList OtherFiles(const QString& folder, const char* file)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    names.removeAll(QLatin1String(file));
    return names;
}

TEST_P(SaveProcess, DiskFillingUpNeverLeavesACutOffFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(GetParam().name));
    const QByteArray oldBytes = GetParam().known('A');
    const QByteArray newBytes = GetParam().known('B');
    ASSERT_GT(newBytes.size(), oldBytes.size());
    int failed = 0;
    int saved = 0;
    // File size limit in KiB, in 4 KiB steps from 0 past the new file's size.
    for (qsizetype kib = 0; kib <= newBytes.size() / 1024 + 8; kib += 4) {
        SCOPED_TRACE(kib);
        WriteFile(path, oldBytes);
        const int exitCode =
            RunShell(QStringLiteral("ulimit -f %1; trap '' XFSZ; exec %2 save %3 B 2>/dev/null")
                         .arg(kib)
                         .arg(Quoted(SaveTool), Quoted(path)));
        const QByteArray now = ReadFile(path);
        if (exitCode == 0) {
            EXPECT_TRUE(now == newBytes) << "saved, but the file has " << now.size() << " bytes";
            ++saved;
        } else {
            EXPECT_EQ(exitCode, 1) << "the helper failed to run";
            EXPECT_TRUE(now == oldBytes) << "failed, and the file has " << now.size() << " bytes";
            ++failed;
        }
        EXPECT_TRUE(OtherFiles(dir.path(), GetParam().name).isEmpty())
            << OtherFiles(dir.path(), GetParam().name).join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_GT(failed, 10);
    EXPECT_GT(saved, 0);
}

TEST_P(SaveProcess, KilledWhileSavingLeavesTheOldOrTheNewFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(GetParam().name));
    const QByteArray a = GetParam().known('A');
    const QByteArray b = GetParam().known('B');
    WriteFile(path, a);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    int kills = 0;
    int sawA = 0;
    int sawB = 0;
    QElapsedTimer clock;
    clock.start();
    // At least 200 kills; more while time allows, or while none came after a
    // finished save yet: on a busy machine a save may take longer than the
    // longest delay, so the delays grow until some do.
    while (kills < 200 || (kills < 400 && clock.elapsed() < 15000) || (sawB == 0 && kills < 600)) {
        const int stretch = sawB == 0 ? 1 << std::min(kills / 50, 6) : 1;
        QProcess process;
        process.start(SaveTool, {QStringLiteral("loop"), path});
        ASSERT_TRUE(process.waitForStarted(30000));
        ASSERT_TRUE(process.waitForReadyRead(30000)) << "the helper never got ready";
        QThread::usleep(static_cast<unsigned long>(delayUs(random) * stretch));
        process.kill(); // SIGKILL
        ASSERT_TRUE(process.waitForFinished(30000));
        ++kills;
        const QByteArray now = ReadFile(path);
        ASSERT_TRUE(now == a || now == b) << "after kill " << kills << ": " << now.size() << " bytes";
        (now == a ? sawA : sawB)++;
        EXPECT_TRUE(GetParam().readable(now));
    }
    EXPECT_GE(kills, 200);
    EXPECT_GT(sawB, 0) << "no kill came after a finished save";
    // A kill between naming the new file and putting it in place leaves it
    // behind; the next start removes it.
    AtomicFile::RemoveLeftovers(path);
    EXPECT_TRUE(OtherFiles(dir.path(), GetParam().name).isEmpty());
    std::printf("%d kills: %d times the old state, %d times the new\n", kills, sawA, sawB);
}

INSTANTIATE_TEST_SUITE_P(Files, SaveProcess, ::testing::ValuesIn(Files),
                         [](const ::testing::TestParamInfo<SavedFile>& info) {
                             return std::string(info.index == 0 ? "DataFile" : "SeriesFile");
                         });

} // namespace
