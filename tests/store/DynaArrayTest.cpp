#include "store/DynaArray.h"

#include "platform/Memory.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

// A record that is easy to recognise: its number in every field.
struct Rec
{
    std::int32_t id;
    std::int32_t filler[11]; // 48 bytes: 4,800 to a block of 100
};

struct Container
{
    Rec* current = reinterpret_cast<Rec*>(0x1); // detects "not written"
    TDynaArray array{sizeof(Rec), reinterpret_cast<void**>(&current)};

    Rec* append(std::int32_t id)
    {
        auto* r = static_cast<Rec*>(array.Append());
        if (r)
            r->id = id;
        return r;
    }
    std::vector<std::int32_t> ids()
    {
        std::vector<std::int32_t> out;
        array.First();
        while (array.Next())
            out.push_back(current->id);
        return out;
    }
    bool zero(std::int32_t index)
    {
        const auto* bytes = static_cast<const unsigned char*>(array.itemAt(index));
        for (std::size_t i = 0; i < sizeof(Rec); ++i)
            if (bytes[i] != 0)
                return false;
        return true;
    }
};

struct AllocFailures
{
    explicit AllocFailures(bool fail = true)
    {
        dw::SetAllocFailureSeam([fail](std::size_t) { return fail; });
    }
    ~AllocFailures() { dw::SetAllocFailureSeam({}); }
};

TEST(DynaArray, NewContainerHasNothingAndDoesNotWriteTheMirror)
{
    Container c;
    EXPECT_EQ(c.array.count(), 0u);
    EXPECT_EQ(c.array.storage(), nullptr);
    EXPECT_EQ(c.array.allocatedBytes(), 0u);
    EXPECT_EQ(c.array.cursor(), -1);
    EXPECT_EQ(c.array.blockSize(), 100u);
    c.array.First();
    EXPECT_EQ(c.array.cursor(), -1);
    EXPECT_FALSE(c.array.Next());
    EXPECT_EQ(c.current, reinterpret_cast<Rec*>(0x1));
}

TEST(DynaArray, CapacityMovesInWholeBlocksOf100)
{
    struct Step
    {
        int count;
        std::uint32_t blocks;
    };
    const Step steps[] = {{1, 1}, {99, 1}, {100, 1}, {101, 2}, {200, 2}, {201, 3}, {300, 3}, {301, 4}};
    Container c;
    int appended = 0;
    for (const Step& s : steps) {
        while (appended < s.count)
            ASSERT_NE(c.append(appended++), nullptr);
        EXPECT_EQ(c.array.allocatedBytes(), s.blocks * 100 * sizeof(Rec)) << s.count << " records";
        EXPECT_EQ(c.current, c.array.itemAt(s.count - 1));
        EXPECT_EQ(c.array.cursor(), s.count - 1);
    }
    std::vector<std::int32_t> expected(301);
    for (int i = 0; i < 301; ++i)
        expected[i] = i;
    EXPECT_EQ(c.ids(), expected) << "moving to a bigger block kept every record";
    // Back down: the block shrinks each time the count drops to a multiple of 100.
    const Step down[] = {{300, 3}, {201, 3}, {200, 2}, {101, 2}, {100, 1}, {1, 1}};
    for (const Step& s : down) {
        while (static_cast<int>(c.array.count()) > s.count)
            ASSERT_TRUE(c.array.Delete(static_cast<std::int32_t>(c.array.count() - 1)));
        EXPECT_EQ(c.array.allocatedBytes(), s.blocks * 100 * sizeof(Rec)) << s.count << " records";
    }
    ASSERT_TRUE(c.array.Delete(0));
    EXPECT_EQ(c.array.storage(), nullptr);
    EXPECT_EQ(c.array.allocatedBytes(), 0u);
}

TEST(DynaArray, AppendHandsOutZeroFilledRecords)
{
    Container c;
    for (int i = 0; i < 100; ++i)
        std::memset(c.array.Append(), 0xAB, sizeof(Rec));
    ASSERT_NE(c.array.Append(), nullptr);
    EXPECT_TRUE(c.zero(100)) << "record 100 in a grown block";
    // A slot that held a deleted record is handed out again in the same block.
    ASSERT_TRUE(c.array.Delete(100));
    ASSERT_TRUE(c.array.Delete(99));
    ASSERT_NE(c.array.Append(), nullptr);
    EXPECT_TRUE(c.zero(99)) << "reused slot";
    // The only record deleted, then a fresh block.
    Container d;
    std::memset(d.array.Append(), 0xCD, sizeof(Rec));
    ASSERT_TRUE(d.array.Delete(0));
    ASSERT_NE(d.array.Append(), nullptr);
    EXPECT_TRUE(d.zero(0));
    EXPECT_EQ(d.array.allocatedBytes(), 100 * sizeof(Rec));
}

TEST(DynaArray, DeleteAtEveryPosition)
{
    for (std::int32_t index = -1; index <= 5; ++index) {
        SCOPED_TRACE(index);
        Container c;
        for (int i = 0; i < 5; ++i)
            c.append(i * 10);
        c.array.GoTo(2);
        ASSERT_TRUE(c.array.Delete(index));
        const bool inRange = index >= 0 && index < 5;
        std::vector<std::int32_t> expected{0, 10, 20, 30, 40};
        if (inRange) {
            expected.erase(expected.begin() + index);
            EXPECT_EQ(c.current, nullptr);
            EXPECT_EQ(c.array.cursor(), -1);
            EXPECT_EQ(c.array.currentItem(), nullptr);
            EXPECT_FALSE(c.array.Next()) << "no iteration until First";
        } else {
            // Out of range changes nothing, the cursor and the mirror included.
            EXPECT_EQ(c.current, c.array.itemAt(2));
            EXPECT_EQ(c.array.cursor(), 2);
        }
        EXPECT_EQ(c.array.count(), expected.size());
        EXPECT_EQ(c.ids(), expected);
    }
}

TEST(DynaArray, DeleteOnEmptyContainerChangesNothing)
{
    Container c;
    for (std::int32_t index : {-1, 0, 1})
        EXPECT_TRUE(c.array.Delete(index));
    EXPECT_EQ(c.current, reinterpret_cast<Rec*>(0x1));
    EXPECT_EQ(c.array.cursor(), -1);
}

TEST(DynaArray, CursorAndMirrorFollowEveryOperation)
{
    Container c;
    Rec* first = c.append(1);
    EXPECT_EQ(c.current, first);
    Rec* second = c.append(2);
    EXPECT_EQ(c.current, second);
    EXPECT_EQ(c.array.GoTo(0), c.array.itemAt(0));
    EXPECT_EQ(c.current->id, 1);
    EXPECT_EQ(c.array.cursor(), 0);

    // Right after Append, Next yields the new last record once.
    c.append(3);
    ASSERT_TRUE(c.array.Next());
    EXPECT_EQ(c.current->id, 3);
    EXPECT_FALSE(c.array.Next());

    c.array.First();
    EXPECT_EQ(c.current->id, 1);
    EXPECT_EQ(c.array.cursor(), 0);
    int seen = 0;
    while (c.array.Next())
        EXPECT_EQ(c.current->id, ++seen);
    EXPECT_EQ(seen, 3);
    // After a full walk the cursor is Count and the last record stays current.
    EXPECT_EQ(c.array.cursor(), 3);
    EXPECT_EQ(c.current->id, 3);
}

TEST(DynaArray, WithoutMirrorVariable)
{
    TDynaArray array(sizeof(Rec), nullptr);
    ASSERT_NE(array.Append(), nullptr);
    array.First();
    EXPECT_TRUE(array.Next());
    EXPECT_TRUE(array.Delete(0));
    EXPECT_EQ(array.currentItem(), nullptr);
}

struct FailureCase
{
    const char* name;
    int before;    // records appended before
    bool doAppend; // else delete the last record
    const char* message;
};

TEST(DynaArray, AllocationFailureShowsMessageAndChangesNothing)
{
    const FailureCase cases[] = {
        {"first block", 0, true, "Error 1 while trying to allocate 4800 bytes of RAM. Not enough memory."},
        {"enlarged block", 100, true,
         "Error 2 while trying to allocate 9600 bytes of RAM. Not enough memory."},
        {"reduced block", 101, false,
         "Error 3 while trying to allocate 4800 bytes of RAM. Not enough memory."},
    };
    for (const FailureCase& fc : cases) {
        SCOPED_TRACE(fc.name);
        dwtest::ScriptedMessageBoxes boxes;
        Container c;
        for (int i = 0; i < fc.before; ++i)
            c.append(i);
        c.array.GoTo(0);
        const void* storage = c.array.storage();
        const std::uint32_t bytes = c.array.allocatedBytes();
        {
            AllocFailures failing;
            if (fc.doAppend)
                EXPECT_EQ(c.array.Append(), nullptr);
            else
                EXPECT_FALSE(c.array.Delete(static_cast<std::int32_t>(c.array.count() - 1)));
        }
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, QString::fromLatin1(fc.message));
        EXPECT_EQ(boxes.shown()[0].caption, dw::DefaultMessageBoxCaption());
        EXPECT_EQ(boxes.shown()[0].flags, dw::MB_OK | dw::MB_ICONERROR);
        EXPECT_EQ(c.array.count(), static_cast<std::uint32_t>(fc.before));
        EXPECT_EQ(c.array.storage(), storage);
        EXPECT_EQ(c.array.allocatedBytes(), bytes);
        EXPECT_EQ(c.array.cursor(), 0);
        EXPECT_EQ(c.current, c.array.storage());
        // Still usable once memory is there again.
        ASSERT_NE(c.append(-1), nullptr);
        EXPECT_EQ(c.array.count(), static_cast<std::uint32_t>(fc.before + 1));
        std::vector<std::int32_t> expected;
        for (int i = 0; i < fc.before; ++i)
            expected.push_back(i);
        expected.push_back(-1);
        EXPECT_EQ(c.ids(), expected);
    }
}

TEST(DynaArray, BlockBeyond32BitsIsRefusedLikeAFailedAllocation)
{
    dwtest::ScriptedMessageBoxes boxes;
    // 100 records of 50,000,000 bytes do not fit in 32 bits.
    TDynaArray array(50'000'000, nullptr);
    EXPECT_EQ(array.Append(), nullptr);
    EXPECT_EQ(array.count(), 0u);
    EXPECT_EQ(array.storage(), nullptr);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Error 1 while trying to allocate ")));
}

// The counter tells the grid whether any of its containers holds a record; a
// container that gets it wrong makes a load skip or keep a day it must not.
TEST(DynaArray, FilledCounterCountsContainersThatHoldRecords)
{
    dwtest::ScriptedMessageBoxes boxes;
    std::uint32_t filled = 0;
    auto a = std::make_unique<TDynaArray>(sizeof(Rec), nullptr, &filled);
    auto b = std::make_unique<TDynaArray>(sizeof(Rec), nullptr, &filled);
    struct Step
    {
        const char* what;
        std::function<void()> act;
        std::uint32_t filled;
    };
    const Step steps[] = {
        {"new containers", [] {}, 0},
        {"first record", [&] { a->Append(); }, 1},
        {"second record in the same container", [&] { a->Append(); }, 1},
        {"first record of another", [&] { b->Append(); }, 2},
        {"delete out of range", [&] { a->Delete(2); }, 2},
        {"delete one of two", [&] { a->Delete(0); }, 2},
        {"delete the last one", [&] { a->Delete(0); }, 1},
        {"delete on an empty container", [&] { a->Delete(0); }, 1},
        {"refused first block",
         [&] {
             AllocFailures failing;
             EXPECT_EQ(a->Append(), nullptr);
         },
         1},
        {"101 records",
         [&] {
             for (int i = 0; i < 101; ++i)
                 a->Append();
         },
         2},
        {"refused smaller block",
         [&] {
             AllocFailures failing;
             EXPECT_FALSE(a->Delete(0));
         },
         2},
        {"destroying a container with records", [&] { a.reset(); }, 1},
        {"destroying the other", [&] { b.reset(); }, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(filled, step.filled);
    }
}

} // namespace
