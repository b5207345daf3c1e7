#include "store/DataFile.h"

#include "FailDevice.h"
#include "KnownStates.h"
#include "StoreTestSupport.h"
#include "store/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace storetest;

namespace {

const QString ReadBeyondEndBox = QStringLiteral("Read beyond end of file.");
const QString DiskFullBox = QStringLiteral("Disk full.");

QString CopyMessage(const char* name)
{
    return QStringLiteral("Eine Kopie der nicht lesbaren Datei wurde als %1 gesichert.")
        .arg(QLatin1String(name));
}

class DataFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("termine.dat"));
    dwtest::ScriptedMessageBoxes boxes;

    QStringList Files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QByteArray SaveKnown(char which)
    {
        auto grid = std::make_unique<CalendarGrid>();
        BuildKnownState(*grid, which);
        EXPECT_TRUE(DataFile(path).SaveTermins(*grid, KnownSettings(which)));
        return ReadFile(path);
    }
    void ExpectBox(std::size_t index, const QString& text, const QString& caption)
    {
        ASSERT_GT(boxes.shown().size(), index);
        EXPECT_EQ(boxes.shown()[index].text, text);
        EXPECT_EQ(boxes.shown()[index].caption, caption);
        EXPECT_EQ(boxes.shown()[index].flags, dw::MB_OK | dw::MB_ICONERROR);
    }
};

const QString DefaultCaption = dw::DefaultMessageBoxCaption();
const QString AppCaption = QString::fromLatin1(dw::ApplicationTitle);

TEST_F(DataFileTest, MissingFileLoadsNothing)
{
    auto grid = NewGrid();
    Add(*grid, 2024, 1, 1);
    const DataFile::LoadResult result = DataFile(path).OpenTermins(*grid);
    EXPECT_FALSE(result.fileExisted);
    EXPECT_FALSE(result.settingsRead);
    EXPECT_EQ(grid->Day(2024, 1, 1).count(), 1u);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(DataFileTest, SaveAndLoadRoundTrip)
{
    auto grid = NewGrid();
    std::mt19937 random(11);
    FillRandom(*grid, random, 500);
    DataFile file(path);
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
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
}

TEST_F(DataFileTest, FolderThatCannotBeWritten)
{
    // Even root cannot create a file below a regular file.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    WriteFile(plain, "contents");
    auto grid = NewGrid();
    EXPECT_FALSE(DataFile(plain + QStringLiteral("/termine.dat")).SaveTermins(*grid, {}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    ExpectBox(0, QStringLiteral("Fehler: Konnte Datei nicht erzeugen!"), DefaultCaption);
    EXPECT_EQ(ReadFile(plain), QByteArray("contents"));
}

TEST_F(DataFileTest, TargetThatCannotBeReplaced)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    auto grid = NewGrid();
    EXPECT_FALSE(DataFile(path).SaveTermins(*grid, {}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    ExpectBox(0, QStringLiteral("Fehler: Konnte Datei nicht erzeugen!"), DefaultCaption);
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
        boxes.clear();
        DataFile file(path);
        file.setWriteFilter(
            [limit](QIODevice* target) { return std::make_unique<FailDevice>(limit, target); });
        EXPECT_FALSE(file.SaveTermins(*grid, KnownSettings('B')));
        ASSERT_EQ(boxes.shown().size(), 1u);
        ExpectBox(0, DiskFullBox, AppCaption);
        EXPECT_TRUE(ReadFile(path) == old);
        EXPECT_EQ(Files(), QStringList{QStringLiteral("termine.dat")});
    }
}

TEST_F(DataFileTest, SavesWhileAFailureMessageIsOpenReturnAtOnce)
{
    auto grid = NewGrid();
    DataFile file(path);
    file.setWriteFilter([](QIODevice* target) { return std::make_unique<FailDevice>(10, target); });
    int shown = 0;
    std::vector<bool> nested;
    const dw::MessageBoxHandler previous =
        dw::SetMessageBoxHandler([&](const QString&, const QString&, unsigned) {
            ++shown;
            // Save timer ticks dispatched by the message's modal loop.
            for (int tick = 0; tick < 3; ++tick)
                nested.push_back(file.SaveTermins(*grid, {}));
            return int{dw::mrOk};
        });
    EXPECT_FALSE(file.SaveTermins(*grid, {}));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(nested, (std::vector<bool>{false, false, false}));
    // Once the message is closed, the next failure is told again.
    EXPECT_FALSE(file.SaveTermins(*grid, {}));
    EXPECT_EQ(shown, 2);
    dw::SetMessageBoxHandler(previous);
    file.setWriteFilter({});
    EXPECT_TRUE(file.SaveTermins(*grid, {}));
}

TEST_F(DataFileTest, CutOffFileIsCopiedAsideWithTheFirstFreeName)
{
    const QByteArray whole = SaveKnown('A');
    const QByteArray cut = whole.left(whole.size() / 2);
    WriteFile(path, cut);
    for (const char* name : {"termine.dat.bak", "termine.dat.bak2", "termine.dat.bak3"}) {
        SCOPED_TRACE(name);
        boxes.clear();
        auto grid = NewGrid();
        const DataFile::LoadResult result = DataFile(path).OpenTermins(*grid);
        EXPECT_TRUE(result.fileExisted);
        EXPECT_FALSE(result.complete);
        EXPECT_FALSE(result.settingsRead);
        EXPECT_EQ(QFileInfo(result.backupPath).fileName(), QLatin1String(name));
        ASSERT_EQ(boxes.shown().size(), 2u);
        ExpectBox(0, ReadBeyondEndBox, AppCaption);
        ExpectBox(1, CopyMessage(name), DefaultCaption);
        EXPECT_TRUE(ReadFile(dir.filePath(QLatin1String(name))) == cut);
        EXPECT_TRUE(EveryDayHasContainer(*grid));
        EXPECT_GT(TotalCount(*grid), 0u) << "the days read keep what was read";
        EXPECT_NE(grid->NewAppointment(2100, 12, 31), nullptr);
    }
    EXPECT_TRUE(ReadFile(path) == cut) << "loading never changes the file";
    // With the copy kept, a save may replace the file.
    boxes.clear();
    auto grid = NewGrid();
    EXPECT_TRUE(DataFile(path).SaveTermins(*grid, {}));
    EXPECT_TRUE(boxes.shown().empty());
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
    const DataFile::LoadResult result = DataFile(path).OpenTermins(*grid);
    EXPECT_FALSE(result.complete);
    ASSERT_EQ(boxes.shown().size(), 2u);
    ExpectBox(0, ReadBeyondEndBox, AppCaption);
    ExpectBox(1, CopyMessage("termine.dat.bak"), DefaultCaption);
    EXPECT_TRUE(ReadFile(path + QStringLiteral(".bak")) == garbage);
    EXPECT_TRUE(EveryDayHasContainer(*grid));
}

TEST_F(DataFileTest, FileThatCannotBeOpenedIsNeitherLoadedNorReplaced)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    auto grid = NewGrid();
    Add(*grid, 2024, 5, 5);
    DataFile file(path);
    const DataFile::LoadResult result = file.OpenTermins(*grid);
    EXPECT_TRUE(result.fileExisted);
    EXPECT_FALSE(result.settingsRead);
    EXPECT_TRUE(result.backupPath.isEmpty());
    EXPECT_EQ(grid->Day(2024, 5, 5).count(), 1u) << "the grid stays as it was";
    ASSERT_EQ(boxes.shown().size(), 2u);
    ExpectBox(0, QStringLiteral("Fehler: Konnte Datei nicht öffnen!"), DefaultCaption);
    ExpectBox(
        1,
        QStringLiteral("Die nicht lesbare Datei konnte nicht gesichert werden und wird nicht überschrieben."),
        DefaultCaption);

    // A save would replace what could not be read, so it is refused.
    boxes.clear();
    EXPECT_FALSE(file.SaveTermins(*grid, {}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    ExpectBox(0, QStringLiteral("Fehler: Konnte Datei nicht erzeugen!"), DefaultCaption);
    EXPECT_TRUE(QFileInfo(path).isDir());

    // Once it can be read, it is copied aside and the save goes ahead.
    ASSERT_TRUE(QDir(path).removeRecursively());
    WriteFile(path, "now readable");
    boxes.clear();
    EXPECT_TRUE(file.SaveTermins(*grid, {}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    ExpectBox(0, CopyMessage("termine.dat.bak"), DefaultCaption);
    EXPECT_EQ(ReadFile(path + QStringLiteral(".bak")), QByteArray("now readable"));
    EXPECT_EQ(ReadFile(path).size(), EmptyTerminsSize + 41 + 9);
}

TEST_F(DataFileTest, GuardEndsWhenTheUnreadableFileIsGone)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
    auto grid = NewGrid();
    DataFile file(path);
    file.OpenTermins(*grid);
    ASSERT_TRUE(QDir(path).removeRecursively());
    boxes.clear();
    EXPECT_TRUE(file.SaveTermins(*grid, {}));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(DataFileTest, LeftoversOfAKilledSaveAreRemovedAtStart)
{
    const QStringList leftovers{QStringLiteral("termine.dat.Ab3dE9"),
                                QStringLiteral("termine.dat.bak.x1Y2z3"),
                                QStringLiteral("termine.dat.bak12.QWErty")};
    const QStringList kept{QStringLiteral("termine.dat"),       QStringLiteral("termine.dat.bak"),
                           QStringLiteral("termine.dat.bak2"),  QStringLiteral("termine.dat.bak100"),
                           QStringLiteral("termine.dat.notes"), QStringLiteral("termine.dat.ABCDEFG"),
                           QStringLiteral("other.dat.Ab3dE9")};
    for (const QString& name : leftovers + kept)
        WriteFile(dir.filePath(name), "x");
    DataFile file(path);
    QStringList expected = kept;
    expected.sort();
    QStringList actual = Files();
    actual.sort();
    EXPECT_EQ(actual, expected);
}

} // namespace
