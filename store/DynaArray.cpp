#include "store/DynaArray.h"

#include "platform/Memory.h"
#include "platform/MessageBox.h"

#include <cstring>

namespace {

// 1: first block of a container, 2: enlarged block, 3: reduced block.
void ReportAllocationFailure(int which, std::uint32_t bytes)
{
    dw::MessageBoxA(QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
                        .arg(which)
                        .arg(bytes),
                    QString(), dw::MB_OK | dw::MB_ICONERROR);
}

} // namespace

void TDynaArray::FreeStorage()
{
    dw::GlobalFreeBlock(Storage);
}

bool TDynaArray::WantedBytes(std::uint32_t count, std::uint32_t& bytes) const
{
    const std::uint64_t blocks = (count - 1) / BlockSize + 1;
    const std::uint64_t wanted = blocks * static_cast<std::uint32_t>(ItemSize) * BlockSize;
    bytes = static_cast<std::uint32_t>(wanted);
    return wanted <= UINT32_MAX;
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

bool TDynaArray::Grow(std::uint32_t newCount, bool& changed)
{
    changed = false;
    std::uint32_t wanted = 0;
    const bool fits = WantedBytes(newCount, wanted);
    if (fits && wanted == AllocatedBytes && Storage)
        return true;
    const bool first = newCount == 1 || Storage == nullptr;
    // A block beyond 32 bits cannot be asked for; it fails like a refused one.
    auto* block = fits ? static_cast<char*>(dw::GlobalAllocZeroed(wanted)) : nullptr;
    if (!block) {
        ReportAllocationFailure(first ? 1 : 2, wanted);
        return false;
    }
    if (Storage) {
        std::memcpy(block, Storage, AllocatedBytes);
        dw::GlobalFreeBlock(Storage);
    }
    Storage = block;
    AllocatedBytes = wanted;
    changed = true;
    return true;
}

void* TDynaArray::Append()
{
    const std::uint32_t newCount = Count + 1;
    if (newCount == 0)
        return nullptr;
    bool changed = false;
    if (!Grow(newCount, changed))
        return nullptr;
    Count = newCount;
    if (Count == 1 && FilledCounter)
        ++*FilledCounter;
    MoveCursor(static_cast<std::int32_t>(Count - 1));
    // A fresh block is zero already; a reused slot may hold a deleted record.
    if (!changed)
        std::memset(CurrentItem, 0, static_cast<std::size_t>(ItemSize));
    return CurrentItem;
}

bool TDynaArray::Delete(std::int32_t index)
{
    if (index < 0 || static_cast<std::uint32_t>(index) >= Count)
        return true;
    const std::uint32_t newCount = Count - 1;
    // Ask for the smaller block before moving anything, so a refusal changes nothing.
    char* const oldStorage = Storage;
    const std::uint32_t oldBytes = AllocatedBytes;
    std::uint32_t wanted = 0;
    char* smaller = nullptr;
    if (newCount > 0) {
        WantedBytes(newCount, wanted);
        if (wanted != oldBytes) {
            smaller = static_cast<char*>(dw::GlobalAllocZeroed(wanted));
            if (!smaller) {
                ReportAllocationFailure(3, wanted);
                return false;
            }
        }
    }
    for (std::uint32_t i = static_cast<std::uint32_t>(index); i + 1 < Count; ++i) {
        MoveCursor(static_cast<std::int32_t>(i));
        std::memcpy(CurrentItem,
                    Storage + static_cast<std::size_t>(i + 1) * static_cast<std::size_t>(ItemSize),
                    static_cast<std::size_t>(ItemSize));
    }
    Count = newCount;
    if (Count == 0) {
        if (FilledCounter)
            --*FilledCounter;
        dw::GlobalFreeBlock(oldStorage);
        Storage = nullptr;
        AllocatedBytes = 0;
    } else if (smaller) {
        std::memcpy(smaller, oldStorage, wanted);
        dw::GlobalFreeBlock(oldStorage);
        Storage = smaller;
        AllocatedBytes = wanted;
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
