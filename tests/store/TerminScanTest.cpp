#include "store/TerminScan.h"

#include "StoreTestSupport.h"
#include "platform/Exceptions.h"
#include "platform/Memory.h"
#include "store/DataFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace storetest;

namespace {

std::string Line(std::int32_t day, double time, double last, double lead, double repeat, unsigned done,
                 std::string_view name, std::string_view description)
{
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%d %a %a %a %a %u ", day, time, last, lead, repeat, done);
    return numbers + std::string(name) + '|' + std::string(description);
}

std::vector<std::string> Loaded(const CalendarGrid& grid)
{
    std::vector<std::string> lines;
    grid.ForEachDay([&](int y, int m, int d, const DayList& day) {
        for (std::uint32_t i = 0; i < day.count(); ++i) {
            const Appointment& a = *day.at(static_cast<std::int32_t>(i));
            lines.push_back(Line(static_cast<std::int32_t>(CalendarGrid::DateOf(y, m, d)), a.TimeOfDay,
                                 a.LastReminded, a.FirstLead, a.RepeatInterval, a.Done, a.Name,
                                 a.Description));
        }
    });
    return lines;
}

// The scanner of the reading options and the loader judge every file alike and
// see the same appointments, up to the damage where there is one.
TEST(TerminScan, AgreesWithTheLoader)
{
    auto base = NewGrid();
    Add(*base, 2030, 12, 20, Entry().named("eins").described("a"));
    Add(*base, 2030, 12, 20, Entry().named("zwei"));
    Add(*base, 2031, 1, 1, Entry().named("drei"));
    const QByteArray file = Serialize(*base, {});
    const int second = DayIndex(2030, 12, 20) * 4 + 4 + 46; // the second record
    auto random = NewGrid();
    std::mt19937 generator(11);
    FillRandom(*random, generator, 500);
    const auto with = [&](int at, const char* bytes) { return QByteArray(file).replace(at, 4, bytes, 4); };
    const struct Case
    {
        const char* what;
        QByteArray bytes;
        bool whole;
        std::size_t seen;
    } cases[] = {
        {"whole", file, true, 3},
        {"random", Serialize(*random, {}), true, 500},
        {"bytes after the settings", file + "xyz", true, 3},
        {"negative count", with(0, "\xff\xff\xff\xff"), true, 3},
        {"zero byte in a name", with(second + 37, "z\0ei"), true, 3},
        {"cut in a record", file.left(second + 20), false, 1},
        {"negative name length", with(second + 33, "\xff\xff\xff\xff"), false, 1},
        {"description beyond the end", with(second + 41, "\0\0\0\x7f"), false, 1},
        {"ends in the settings", file.chopped(1), false, 3},
        {"empty", QByteArray(), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> scanned;
        const bool whole = ScanTermins(
            {c.bytes.constData(), static_cast<std::size_t>(c.bytes.size())}, [&](const StoredAppointment& a) {
                scanned.push_back(Line(a.day, a.timeOfDay, a.lastReminded, a.firstLead, a.repeatInterval,
                                       a.done, a.name, a.description));
            });
        auto grid = NewGrid();
        bool complete = false;
        try {
            complete = Deserialize(c.bytes, *grid, 7).complete;
        } catch (const dw::EInOutError&) {
        }
        EXPECT_EQ(whole, c.whole);
        EXPECT_EQ(complete, c.whole);
        EXPECT_EQ(scanned.size(), c.seen);
        EXPECT_EQ(scanned, Loaded(*grid));
    }
}

// The command line's export reads the file alone: no copy of a damaged file, no report.
TEST(ReadTerminsFile, ReadsTheFileAndNothingElse)
{
    using Outcome = TerminsFileRead::Outcome;
    auto source = NewGrid();
    Add(*source, 2030, 12, 20, Entry().named("eins"));
    Add(*source, 2031, 1, 1, Entry().named("zwei"));
    const QByteArray file = Serialize(*source, {1, 2, true});
    const struct Case
    {
        const char* what;
        std::optional<QByteArray> bytes; // none: a folder of that name
        bool refuseSecondDay;
        Outcome outcome;
        std::uint32_t loaded;
        QString error;
        int openError;
    } cases[] = {
        {"whole", file, false, Outcome::Complete, 2, {}, 0},
        {"cut", file.chopped(1), false, Outcome::Damaged, 2, "Read beyond end of file", 0},
        {"no memory", file, true, Outcome::OutOfMemory, 1, {}, 0},
        {"folder", std::nullopt, false, Outcome::CannotOpen, 0, {}, EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("termine.dat"));
        auto grid = NewGrid();
        EXPECT_EQ(ReadTerminsFile(path, *grid).outcome, Outcome::Missing);
        if (c.bytes)
            WriteFile(path, *c.bytes);
        else
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("termine.dat")));
        dwtest::ScriptedMessageBoxes boxes;
        grid->pool().Report = nullptr;
        int blocks = 0;
        dw::SetAllocFailureSeam([&](std::size_t) { return c.refuseSecondDay && ++blocks == 2; });
        const TerminsFileRead read = ReadTerminsFile(path, *grid);
        dw::SetAllocFailureSeam({});
        EXPECT_EQ(read.outcome, c.outcome);
        EXPECT_EQ(TotalCount(*grid), c.loaded);
        EXPECT_EQ(read.readError, c.error);
        EXPECT_EQ(read.openError, c.openError);
        EXPECT_EQ(read.settingsRead, c.outcome == Outcome::Complete);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"termine.dat"});
        EXPECT_TRUE(boxes.shown().empty());
    }
}

} // namespace
