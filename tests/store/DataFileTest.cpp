#include "store/DataFile.h"

#include "FailDevice.h"
#include "KnownStates.h"
#include "StoreTestSupport.h"
#include "store/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace storetest;

namespace {

using Problem = IDataFileReport::SaveProblem;

// Keeps what the data file reports, one line per report, with the backup's
// file name and whether it existed at the moment of the report.
class RecordingReport : public IDataFileReport
{
public:
    QStringList lines;

    void LoadFailed(const LoadFailure& f) override
    {
        lines << QStringLiteral("load open=%1 read=%2 backup=%3%4 copy=%5")
                     .arg(f.openError)
                     .arg(f.readError, QFileInfo(f.backupPath).fileName(),
                          f.backupPath.isEmpty() || QFile::exists(f.backupPath) ? QString()
                                                                                : QStringLiteral("(missing)"))
                     .arg(f.copyError);
    }
    void SaveFailed(const SaveFailure& f) override
    {
        static const char* const names[] = {"cannot create", "write error", "held back"};
        lines << QStringLiteral("save %1 %2 %3")
                     .arg(QLatin1String(names[int(f.problem)]), f.errorText)
                     .arg(f.systemError);
    }
    void CopyKept(const QString& backupPath) override
    {
        lines << QStringLiteral("copy %1").arg(QFileInfo(backupPath).fileName());
    }
};

const QString ReadBeyondEnd = QStringLiteral("load open=0 read=Read beyond end of file backup=%1 copy=0");

class DataFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("termine.dat"));
    RecordingReport report;
    dwtest::ScriptedMessageBoxes boxes; // the store never shows one
    ~DataFileTest() override { EXPECT_TRUE(boxes.shown().empty()); }

    QStringList Files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QByteArray SaveKnown(char which)
    {
        auto grid = std::make_unique<CalendarGrid>();
        BuildKnownState(*grid, which);
        EXPECT_TRUE(DataFile(path, &report).SaveTermins(*grid, KnownSettings(which)));
        return ReadFile(path);
    }
};

TEST_F(DataFileTest, MissingFileLoadsNothing)
{
    auto grid = NewGrid();
    Add(*grid, 2024, 1, 1);
    const DataFile::LoadResult result = DataFile(path, &report).OpenTermins(*grid);
    EXPECT_FALSE(result.fileExisted);
    EXPECT_FALSE(result.settingsRead);
    EXPECT_EQ(grid->Day(2024, 1, 1).count(), 1u);
    EXPECT_TRUE(report.lines.isEmpty());
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(DataFileTest, SaveAndLoadRoundTrip)
{
    auto grid = NewGrid();
    std::mt19937 random(11);
    FillRandom(*grid, random, 500);
    DataFile file(path, &report);
    ASSERT_TRUE(file.SaveTermins(*grid, {4, 5, true}));
    ASSERT_TRUE(file.SaveTermins(*grid, {4, 6, true})); // replaces the first
    EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
    auto loaded = NewGrid();
    const DataFile::LoadResult result = file.OpenTermins(*loaded);
    EXPECT_TRUE(result.fileExisted);
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(result.settingsRead);
    EXPECT_EQ(result.settings, (StoredSettings{4, 6, true}));
    ExpectSameGrid(*grid, *loaded);
    EXPECT_TRUE(report.lines.isEmpty());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
}

TEST_F(DataFileTest, FolderThatCannotBeWritten)
{
    // Even root cannot create a file below a regular file.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    WriteFile(plain, "contents");
    auto grid = NewGrid();
    EXPECT_FALSE(DataFile(plain + QStringLiteral("/termine.dat"), &report).SaveTermins(*grid, {}));
    EXPECT_EQ(report.lines, QStringList{QStringLiteral("save cannot create  0")});
    EXPECT_EQ(ReadFile(plain), QByteArray("contents"));
}

TEST_F(DataFileTest, TargetThatCannotBeReplaced)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    auto grid = NewGrid();
    EXPECT_FALSE(DataFile(path, &report).SaveTermins(*grid, {}));
    EXPECT_EQ(report.lines, QStringList{QStringLiteral("save cannot create  0")});
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
}

TEST_F(DataFileTest, WriteFailingInTheMiddleKeepsTheOldFile)
{
    const QByteArray old = SaveKnown('A');
    auto grid = std::make_unique<CalendarGrid>();
    BuildKnownState(*grid, 'B');
    for (qint64 limit : {qint64{0}, qint64{4096}, qint64{old.size()}}) {
        SCOPED_TRACE(limit);
        report.lines.clear();
        DataFile file(path, &report);
        file.setWriteFilter(
            [limit](QIODevice* target) { return std::make_unique<FailDevice>(limit, target); });
        EXPECT_FALSE(file.SaveTermins(*grid, KnownSettings('B')));
        EXPECT_EQ(report.lines, QStringList{QStringLiteral("save write error Disk full 0")});
        EXPECT_TRUE(ReadFile(path) == old);
        EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
    }
}

TEST_F(DataFileTest, CutOffFileIsCopiedAsideWithTheFirstFreeName)
{
    const QByteArray whole = SaveKnown('A');
    const QByteArray cut = whole.left(whole.size() / 2);
    WriteFile(path, cut);
    for (const char* name : {"termine.dat.bak", "termine.dat.bak2", "termine.dat.bak3"}) {
        SCOPED_TRACE(name);
        report.lines.clear();
        auto grid = NewGrid();
        const DataFile::LoadResult result = DataFile(path, &report).OpenTermins(*grid);
        EXPECT_TRUE(result.fileExisted);
        EXPECT_FALSE(result.complete);
        EXPECT_FALSE(result.settingsRead);
        EXPECT_EQ(QFileInfo(result.backupPath).fileName(), QLatin1String(name));
        // The copy is there before the failure is reported.
        EXPECT_EQ(report.lines, QStringList{ReadBeyondEnd.arg(QLatin1String(name))});
        EXPECT_TRUE(ReadFile(dir.filePath(QLatin1String(name))) == cut);
        EXPECT_TRUE(EveryDayHasContainer(*grid));
        EXPECT_GT(TotalCount(*grid), 0u) << "the days read keep what was read";
        EXPECT_NE(grid->NewAppointment(2100, 12, 31), nullptr);
    }
    EXPECT_TRUE(ReadFile(path) == cut) << "loading never changes the file";
    // With the copy kept, a save may replace the file.
    report.lines.clear();
    auto grid = NewGrid();
    EXPECT_TRUE(DataFile(path, &report).SaveTermins(*grid, {}));
    EXPECT_TRUE(report.lines.isEmpty());
    EXPECT_EQ(ReadFile(path).size(), EmptyTerminsSize);
}

TEST_F(DataFileTest, GarbageFileAtStart)
{
    std::mt19937 random(3);
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage.append(static_cast<char>(random()));
    WriteFile(path, garbage);
    auto grid = NewGrid();
    const DataFile::LoadResult result = DataFile(path, &report).OpenTermins(*grid);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(report.lines, QStringList{ReadBeyondEnd.arg(QStringLiteral("termine.dat.bak"))});
    EXPECT_TRUE(ReadFile(path + QStringLiteral(".bak")) == garbage);
    EXPECT_TRUE(EveryDayHasContainer(*grid));
}

TEST_F(DataFileTest, FileThatCannotBeOpenedIsNeitherLoadedNorReplaced)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    auto grid = NewGrid();
    Add(*grid, 2024, 5, 5);
    DataFile file(path, &report);
    const DataFile::LoadResult result = file.OpenTermins(*grid);
    EXPECT_TRUE(result.fileExisted);
    EXPECT_FALSE(result.settingsRead);
    EXPECT_TRUE(result.backupPath.isEmpty());
    EXPECT_EQ(grid->Day(2024, 5, 5).count(), 1u) << "the grid stays as it was";
    EXPECT_EQ(report.lines, QStringList{QStringLiteral("load open=%1 read= backup= copy=%1").arg(EISDIR)});

    // A save would replace what could not be read, so it is refused, with the cause.
    report.lines.clear();
    EXPECT_FALSE(file.SaveTermins(*grid, {}));
    EXPECT_EQ(report.lines, QStringList{QStringLiteral("save held back  %1").arg(EISDIR)});
    EXPECT_TRUE(QFileInfo(path).isDir());

    // Once it can be read, it is copied aside and the save goes ahead.
    ASSERT_TRUE(QDir(path).removeRecursively());
    WriteFile(path, "now readable");
    report.lines.clear();
    EXPECT_TRUE(file.SaveTermins(*grid, {}));
    EXPECT_EQ(report.lines, QStringList{QStringLiteral("copy termine.dat.bak")});
    EXPECT_EQ(ReadFile(path + QStringLiteral(".bak")), QByteArray("now readable"));
    EXPECT_EQ(ReadFile(path).size(), EmptyTerminsSize + 41 + 9);
}

TEST_F(DataFileTest, GuardEndsWhenTheUnreadableFileIsGone)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    auto grid = NewGrid();
    DataFile file(path, &report);
    file.OpenTermins(*grid);
    ASSERT_TRUE(QDir(path).removeRecursively());
    report.lines.clear();
    EXPECT_TRUE(file.SaveTermins(*grid, {}));
    EXPECT_TRUE(report.lines.isEmpty());
}

TEST_F(DataFileTest, OnlyTheLeftoversOfAKilledSaveAreRemovedAtStart)
{
    const QStringList leftovers{QStringLiteral("termine.dat.~datumswecker-Ab3dE9.tmp"),
                                QStringLiteral("termine.dat.bak.~datumswecker-x1Y2z3.tmp"),
                                QStringLiteral("termine.dat.bak12.~datumswecker-QWErty.tmp")};
    // Names a person gives copies, and near misses of the program's own names.
    const QStringList kept{QStringLiteral("termine.dat"),
                           QStringLiteral("termine.dat.bak"),
                           QStringLiteral("termine.dat.bak2"),
                           QStringLiteral("termine.dat.bak100"),
                           QStringLiteral("termine.dat.backup"),
                           QStringLiteral("termine.dat.kopie1"),
                           QStringLiteral("termine.dat.sicher"),
                           QStringLiteral("termine.dat.Ab3dE9"),
                           QStringLiteral("termine.dat.notes"),
                           QStringLiteral("termine.dat.~datumswecker-Ab3dE.tmp"),
                           QStringLiteral("termine.dat.~datumswecker-Ab3dE9"),
                           QStringLiteral("termine.dat.old.~datumswecker-Ab3dE9.tmp"),
                           QStringLiteral("other.dat.~datumswecker-Ab3dE9.tmp")};
    for (const QString& name : leftovers + kept)
        WriteFile(dir.filePath(name), "x");
    DataFile(path, &report).RemoveLeftovers();
    QStringList expected = kept;
    expected.sort();
    QStringList actual = Files();
    actual.sort();
    EXPECT_EQ(actual, expected);
}

TEST_F(DataFileTest, ASaveLeavesNothingButTheFileAndKeepsItsPermissions)
{
    SaveKnown('A');
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    auto grid = std::make_unique<CalendarGrid>();
    BuildKnownState(*grid, 'B');
    ASSERT_TRUE(DataFile(path, &report).SaveTermins(*grid, KnownSettings('B')));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// The save timer ticks; each step first does something to the store or the
// file, then ticks once. A tick writes unless it would write the bytes of the
// last save while the file is still that save.
TEST_F(DataFileTest, ATickWritesOnlyWhenSomethingChanged)
{
    enum class Before
    {
        Nothing,
        Edit,
        EditBack,
        Delete,
        ReplaceSameBytes,
        Touch,
        FailedSave
    };
    struct Step
    {
        Before before;
        bool writes;
    };
    const Step steps[] = {
        {Before::Nothing, true}, // the first save after start
        {Before::Nothing, false}, {Before::Nothing, false},         {Before::Edit, true},
        {Before::Nothing, false}, {Before::EditBack, true},         {Before::Delete, true},
        {Before::Nothing, false}, {Before::ReplaceSameBytes, true}, {Before::Nothing, false},
        {Before::Touch, true},    {Before::FailedSave, false},      {Before::Nothing, false},
    };
    auto grid = NewGrid();
    Appointment* a = Add(*grid, 2024, 3, 4);
    DataFile file(path, &report);
    int writes = 0;
    bool failNext = false;
    file.setWriteFilter([&](QIODevice* target) -> std::unique_ptr<QIODevice> {
        ++writes;
        return failNext ? std::make_unique<FailDevice>(0, target) : nullptr;
    });
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        switch (step.before) {
        case Before::Nothing:
            break;
        case Before::Edit:
            a->Done = 1;
            break;
        case Before::EditBack:
            a->Done = 0;
            break;
        case Before::Delete:
            ASSERT_TRUE(QFile::remove(path));
            break;
        case Before::ReplaceSameBytes: {
            // As an editor saves: a new file put in the old one's place.
            WriteFile(path + QStringLiteral(".new"), ReadFile(path));
            ASSERT_EQ(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                               QFile::encodeName(path).constData()),
                      0);
            break;
        }
        case Before::Touch: {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                      QFileDevice::FileModificationTime));
            break;
        }
        case Before::FailedSave:
            a->Done = 1;
            failNext = true;
            EXPECT_FALSE(file.SaveTermins(*grid, {}));
            failNext = false;
            a->Done = 0; // back to what the disk still holds
            writes = 0;
            break;
        }
        const int before = writes;
        EXPECT_TRUE(file.SaveTermins(*grid, {}));
        EXPECT_EQ(writes - before, step.writes ? 1 : 0);
        EXPECT_TRUE(ReadFile(path) == Serialize(*grid, {})) << "the disk holds what a write would have made";
    }
}

} // namespace
