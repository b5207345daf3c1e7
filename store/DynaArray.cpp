#include "store/DynaArray.h"

#include "platform/Memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint32_t HeldLimit = (1u << 30) - 1;

// What a pool starts with, and what containers without a pool tell.
IAllocationReport* programReport = nullptr;

} // namespace

void SetAllocationReport(IAllocationReport* report)
{
    programReport = report;
}

IAllocationReport* ProgramAllocationReport()
{
    return programReport;
}

void TDynaArray::ReportFailure(int which, std::uint32_t bytes) const
{
    if (Pooled)
        Pool()->ReportFailure(which, bytes);
    else if (programReport)
        programReport->AllocationFailed(which, bytes);
}

void TDynaArray::CountFilled(bool filled)
{
    if (filled)
        ++*FilledCounter;
    else
        --*FilledCounter;
    ContainerPool* const pool = Pooled ? Pool() : nullptr;
    if (!pool || !pool->Slots)
        return;
    const auto offset =
        reinterpret_cast<std::uintptr_t>(this) - reinterpret_cast<std::uintptr_t>(pool->Slots);
    const std::size_t index = offset / sizeof(TDynaArray);
    if (offset % sizeof(TDynaArray) == 0 && index / 64 < pool->FilledBits.size())
        pool->MarkSlot(index, filled);
}

void TDynaArray::FreeStorage()
{
    // A piece of the arena stays there until the arena's chunks are released.
    if (!InArena)
        std::free(Storage);
    Storage = nullptr;
    Held = 0;
    InArena = 0;
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
    if (Storage && !InArena) {
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
    InArena = 0;
    return true;
}

std::uint32_t TDynaArray::AdoptRecords(void* records, std::uint32_t count)
{
    if (Count > 0 || Storage || count == 0 || count > HeldLimit)
        return 0;
    // Each step the appends would enter, in turn.
    std::uint32_t taken = 0;
    while (taken < count) {
        std::uint32_t wanted = 0;
        if (!WantedBytes(taken + 1, wanted) || !dw::BlockGranted(wanted)) {
            ReportFailure(taken == 0 ? 1 : 2, wanted);
            break;
        }
        taken = std::min(count, (taken / DefaultBlockSize + 1) * DefaultBlockSize);
    }
    if (taken == 0)
        return 0;
    Storage = static_cast<char*>(records);
    Held = taken;
    InArena = Pooled;
    Count = taken;
    MoveCursor(static_cast<std::int32_t>(Count - 1));
    return taken;
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
            ReportFailure(first ? 1 : 2, wanted);
            return nullptr;
        }
    }
    if (newCount > Held && !Hold(newCount)) {
        WantedBytes(newCount, wanted);
        ReportFailure(first ? 1 : 2, wanted);
        return nullptr;
    }
    Count = newCount;
    if (first && FilledCounter)
        CountFilled(true);
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
            ReportFailure(3, wanted);
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
            CountFilled(false);
        FreeStorage();
    } else if (Count * 2 < Held && !InArena) {
        // Memory follows the records down too; a block that cannot shrink stays as it is.
        if (auto* smaller =
                static_cast<char*>(std::realloc(Storage, static_cast<std::size_t>(Count) * size))) {
            Storage = smaller;
            Held = Count;
        }
    }
    ClearCursor();
    return true;
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
