#include "store/DynaArray.h"

#include "platform/Memory.h"
#include "store/AllocationReport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

IAllocationReport* g_report = nullptr;

// 1: first block of a container, 2: enlarged block, 3: reduced block.
void ReportAllocationFailure(int which, std::uint32_t bytes)
{
    if (g_report)
        g_report->AllocationFailed(which, bytes);
}

constexpr std::uint32_t HeldLimit = (1u << 31) - 1;

} // namespace

void SetAllocationReport(IAllocationReport* report)
{
    g_report = report;
}

bool TDynaArray::InArena() const
{
    return Pooled && reinterpret_cast<const ContainerPool*>(FilledCounter)->Records.Holds(Storage);
}

void TDynaArray::FreeStorage()
{
    // A block in the arena stays there until the arena's chunks are released.
    if (!InArena())
        std::free(Storage);
    Storage = nullptr;
    Held = 0;
}

bool TDynaArray::WantedBytes(std::uint32_t count, std::uint32_t& bytes) const
{
    const std::uint64_t blocks = (count - 1) / DefaultBlockSize + 1;
    const std::uint64_t wanted = blocks * static_cast<std::uint32_t>(ItemSize) * DefaultBlockSize;
    bytes = static_cast<std::uint32_t>(wanted);
    return wanted <= UINT32_MAX;
}

bool TDynaArray::Hold(std::uint32_t records)
{
    // Twice what was held, so appending one by one copies a day's records only a
    // few times; never beyond the capacity's step.
    const std::uint32_t step = ((records - 1) / DefaultBlockSize + 1) * DefaultBlockSize;
    const std::uint32_t wanted = std::min(std::max(records, Held * 2u), step);
    if (wanted > HeldLimit)
        return false;
    const std::size_t bytes = static_cast<std::size_t>(wanted) * static_cast<std::size_t>(ItemSize);
    char* block = nullptr;
    if (Storage && !InArena()) {
        block = static_cast<char*>(std::realloc(Storage, bytes));
    } else {
        block = static_cast<char*>(std::malloc(bytes));
        if (block && Storage)
            std::memcpy(block, Storage, static_cast<std::size_t>(Count) * static_cast<std::size_t>(ItemSize));
    }
    if (!block)
        return false;
    Storage = block;
    Held = wanted;
    return true;
}

void TDynaArray::Reserve(std::uint32_t records)
{
    if (Count > 0 || Storage || records == 0)
        return;
    std::uint32_t capacity = 0;
    if (!WantedBytes(records, capacity))
        return;
    records = std::min(records, HeldLimit);
    const std::size_t bytes = static_cast<std::size_t>(records) * static_cast<std::size_t>(ItemSize);
    void* block = Pooled ? reinterpret_cast<ContainerPool*>(FilledCounter)->Records.Take(bytes) : std::malloc(bytes);
    if (!block)
        return;
    Storage = static_cast<char*>(block);
    Held = records;
}

void TDynaArray::MoveCursor(std::int32_t index)
{
    Cursor = index;
    CurrentItem = Storage + static_cast<std::intptr_t>(index) * ItemSize;
    if (CursorVar)
        *CursorVar = CurrentItem;
}

void TDynaArray::ClearCursor()
{
    Cursor = -1;
    CurrentItem = nullptr;
    if (CursorVar)
        *CursorVar = nullptr;
}

void* TDynaArray::Append()
{
    const std::uint32_t newCount = Count + 1;
    if (newCount == 0)
        return nullptr;
    // Entering a new step of the capacity is where memory may be refused; within
    // a step the records only need the memory behind them.
    const bool first = Count == 0;
    std::uint32_t wanted = 0;
    if (Count % DefaultBlockSize == 0) {
        // A step beyond 32 bits cannot be asked for; it fails like a refused one.
        if (!WantedBytes(newCount, wanted) || !dw::BlockGranted(wanted)) {
            ReportAllocationFailure(first ? 1 : 2, wanted);
            return nullptr;
        }
    }
    if (newCount > Held && !Hold(newCount)) {
        WantedBytes(newCount, wanted);
        ReportAllocationFailure(first ? 1 : 2, wanted);
        return nullptr;
    }
    Count = newCount;
    if (first && FilledCounter)
        ++*FilledCounter;
    MoveCursor(static_cast<std::int32_t>(Count - 1));
    // The slot may hold a deleted record or whatever the memory held before.
    std::memset(CurrentItem, 0, static_cast<std::size_t>(ItemSize));
    return CurrentItem;
}

bool TDynaArray::Delete(std::int32_t index)
{
    if (index < 0 || static_cast<std::uint32_t>(index) >= Count)
        return true;
    const std::uint32_t newCount = Count - 1;
    // Falling back to a smaller step is asked for before anything moves, so a
    // refusal changes nothing.
    if (newCount > 0 && newCount % DefaultBlockSize == 0) {
        std::uint32_t wanted = 0;
        WantedBytes(newCount, wanted);
        if (!dw::BlockGranted(wanted)) {
            ReportAllocationFailure(3, wanted);
            return false;
        }
    }
    const auto size = static_cast<std::size_t>(ItemSize);
    std::memmove(Storage + static_cast<std::size_t>(index) * size,
                 Storage + (static_cast<std::size_t>(index) + 1) * size,
                 static_cast<std::size_t>(newCount - static_cast<std::uint32_t>(index)) * size);
    Count = newCount;
    if (Count == 0) {
        if (FilledCounter)
            --*FilledCounter;
        FreeStorage();
    } else if (Count * 2 < Held && !InArena()) {
        // Memory follows the records down too; a block that cannot shrink stays as it is.
        if (auto* smaller = static_cast<char*>(std::realloc(Storage, static_cast<std::size_t>(Count) * size))) {
            Storage = smaller;
            Held = Count;
        }
    }
    ClearCursor();
    return true;
}

void* TDynaArray::GoTo(std::int32_t index)
{
    MoveCursor(index);
    return CurrentItem;
}

void TDynaArray::First()
{
    if (Count > 0)
        MoveCursor(0);
}

bool TDynaArray::Next()
{
    if (Count == 0)
        return false;
    if (Cursor < 0 || static_cast<std::uint32_t>(Cursor) >= Count)
        return false;
    CurrentItem = Storage + static_cast<std::intptr_t>(Cursor) * ItemSize;
    if (CursorVar)
        *CursorVar = CurrentItem;
    ++Cursor;
    return true;
}
