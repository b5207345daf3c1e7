#include "StoreTestSupport.h"
#include "messages/AllocationMessage.h"
#include "platform/Memory.h"
#include "store/AllocationReport.h"
#include "store/DynaArray.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace storetest;

struct Rec
{
    std::int32_t id;
    std::int32_t filler[11];
};

Rec* AppendId(TDynaArray& array, std::int32_t id)
{
    auto* r = static_cast<Rec*>(array.Append());
    if (r)
        r->id = id;
    return r;
}

// The capacity moves in steps of 100, but the memory behind it follows the
// records: never fewer than in use, never more than twice as many (or the step).
TEST(ContainerMemory, FollowsTheRecordsUpAndDown)
{
    struct Step
    {
        int count;
        std::uint32_t most; // records the memory may hold at this count
    };
    const Step steps[] = {{1, 1},     {2, 2},     {3, 4},     {5, 8},    {60, 100}, {100, 100},
                          {101, 200}, {150, 200}, {120, 200}, {60, 120}, {10, 20},  {1, 2}};
    TDynaArray array(sizeof(Rec), nullptr);
    int appended = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.count);
        while (static_cast<int>(array.count()) < s.count)
            ASSERT_NE(AppendId(array, appended++), nullptr);
        while (static_cast<int>(array.count()) > s.count)
            ASSERT_TRUE(array.Delete(0));
        EXPECT_GE(array.heldRecords(), array.count());
        EXPECT_LE(array.heldRecords(), s.most);
    }
    EXPECT_EQ(static_cast<Rec*>(array.itemAt(0))->id, 149) << "records keep their order through every move";
}

// A container that took its records from its pool's arena moves them to memory
// of its own when it outgrows them; the arena's piece stays for the arena. A
// refused step keeps the records before it.
TEST(ContainerMemory, RecordsTakenFromThePoolAndBeyond)
{
    auto pool = std::make_unique<ContainerPool>();
    Rec* current = nullptr;
    TDynaArray array(sizeof(Rec), reinterpret_cast<void**>(&current), pool.get());
    auto* records = static_cast<Rec*>(pool->Records.Take(2 * sizeof(Rec)));
    records[0].id = 0;
    records[1].id = 1;
    ASSERT_EQ(array.Adopt(records, 2), 2u);
    EXPECT_EQ(current, &records[1]);
    EXPECT_EQ(array.cursor(), 1);
    AppendId(array, 2);
    EXPECT_EQ(pool->Filled, 1u);
    EXPECT_EQ(current, array.itemAt(2));
    EXPECT_FALSE(pool->Records.Holds(array.storage())) << "outgrown";
    EXPECT_EQ(array.allocatedBytes(), 100 * sizeof(Rec));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<Rec*>(array.itemAt(i))->id, i);

    dwtest::ScriptedMessageBoxes boxes;
    TDynaArray big(sizeof(Rec), nullptr, pool.get());
    auto* many = static_cast<Rec*>(pool->Records.Take(250 * sizeof(Rec)));
    int steps = 0;
    dw::SetAllocFailureSeam([&steps](std::size_t) { return ++steps == 3; });
    EXPECT_EQ(big.Adopt(many, 250), 200u) << "the third step refused";
    dw::SetAllocFailureSeam({});
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              QStringLiteral("Error 2 while trying to allocate 14400 bytes of RAM. Not enough memory."));
    EXPECT_EQ(big.allocatedBytes(), 200 * sizeof(Rec));
}

// The store never talks to the user itself: without a report a failure is only returned.
TEST(ContainerMemory, WithoutAReportAFailureIsOnlyReturned)
{
    dwtest::ScriptedMessageBoxes boxes;
    SetAllocationReport(nullptr);
    TDynaArray array(sizeof(Rec), nullptr);
    dw::SetAllocFailureSeam([](std::size_t) { return true; });
    EXPECT_EQ(array.Append(), nullptr);
    dw::SetAllocFailureSeam({});
    EXPECT_TRUE(boxes.shown().empty());
    InstallAllocationMessage();
}

// A load puts records and texts into the grid's arenas; edits, deletions and a
// reload work on them like on any others, and a reload gives the earlier
// load's memory back instead of adding to it.
TEST(ContainerMemory, LoadedStoreCanBeEditedAndReloaded)
{
    auto source = NewGrid();
    std::mt19937 random(7);
    FillRandom(*source, random, 3000);
    Add(*source, 2030, 5, 5, Entry().named("erster"));
    Add(*source, 2030, 5, 5, Entry().named("zweiter"));
    const QByteArray file = Serialize(*source, {});

    auto grid = NewGrid();
    Deserialize(file, *grid);
    const std::size_t loaded = grid->pool().Records.chunkBytes() + grid->pool().Texts.chunkBytes();
    EXPECT_GT(loaded, 0u);
    DayList& day = grid->Day(2030, 5, 5);
    EXPECT_TRUE(grid->pool().Records.Holds(day.at(0)));
    EXPECT_EQ(day.Current, day.at(static_cast<std::int32_t>(day.count() - 1))) << "as after appending them";
    EXPECT_EQ(day.Items->heldRecords(), day.count()) << "a loaded day holds exactly its records";
    ASSERT_TRUE(ReplaceText(day.at(0)->Name, "geändert"));
    ASSERT_NE(grid->NewAppointment(2030, 5, 5), nullptr);
    ASSERT_TRUE(grid->DeleteAppointment(2030, 5, 5, 1));
    const std::uint32_t count = day.count();
    EXPECT_STREQ(day.at(0)->Name, "geändert");
    EXPECT_STREQ(day.at(count - 1)->Name, "Kein Name");

    for (int i = 0; i < 3; ++i)
        Deserialize(file, *grid);
    ExpectSameGrid(*source, *grid);
    EXPECT_EQ(grid->pool().Records.chunkBytes() + grid->pool().Texts.chunkBytes(), loaded);
    grid->delall();
    EXPECT_EQ(grid->pool().Records.chunkBytes() + grid->pool().Texts.chunkBytes(), 0u);
}

} // namespace
