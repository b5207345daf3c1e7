#include "store/DynaArray.h"

#include "platform/MessageBox.h"
#include "platform/Memory.h"

#include <cstring>

namespace {

void ReportAllocationFailure(int which, std::uint32_t bytes)
{
    dw::MessageBoxA(QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
                        .arg(which)
                        .arg(bytes),
                    QString(), dw::MB_OK | dw::MB_ICONERROR);
}

} // namespace

TDynaArray::TDynaArray(std::int32_t itemSize, void** cursorVar) : CursorVar(cursorVar), ItemSize(itemSize)
{
}

TDynaArray::~TDynaArray()
{
    dw::GlobalFreeBlock(Storage);
    Storage = nullptr;
    CurrentItem = nullptr;
    Cursor = -1;
}

std::uint32_t TDynaArray::WantedBytes(std::uint32_t count) const
{
    // Unsigned 32-bit arithmetic, as the block size is kept in 32 bits.
    return ((count - 1) / BlockSize + 1) * static_cast<std::uint32_t>(ItemSize) * BlockSize;
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
    const std::uint32_t wanted = WantedBytes(newCount);
    // A count whose block no longer fits in 32 bits wraps; refuse it like a failed allocation.
    const bool overflow = newCount == 0 || static_cast<std::uint64_t>(((newCount - 1) / BlockSize + 1)) *
                                                   static_cast<std::uint32_t>(ItemSize) * BlockSize !=
                                               wanted;
    if (wanted != AllocatedBytes || Storage == nullptr) {
        const int which = (newCount == 1 || Storage == nullptr) ? 1 : 2;
        char* block = overflow ? nullptr : static_cast<char*>(dw::GlobalAllocZeroed(wanted));
        if (!block) {
            ReportAllocationFailure(which, wanted);
            return nullptr;
        }
        if (Storage) {
            std::memcpy(block, Storage, AllocatedBytes);
            dw::GlobalFreeBlock(Storage);
        }
        Storage = block;
        AllocatedBytes = wanted;
        Count = newCount;
    } else {
        Count = newCount;
        MoveCursor(static_cast<std::int32_t>(Count - 1));
        std::memset(CurrentItem, 0, static_cast<std::size_t>(ItemSize));
    }
    MoveCursor(static_cast<std::int32_t>(Count - 1));
    return CurrentItem;
}

bool TDynaArray::Delete(std::int32_t index)
{
    if (index < 0 || static_cast<std::int64_t>(index) > static_cast<std::int64_t>(Count) - 1)
        return true;
    const std::uint32_t newCount = Count - 1;
    char* block = nullptr;
    std::uint32_t wanted = 0;
    if (newCount > 0) {
        wanted = WantedBytes(newCount);
        if (wanted != AllocatedBytes) {
            // Get the smaller block first, so a failure leaves the container as it was.
            block = static_cast<char*>(dw::GlobalAllocZeroed(wanted));
            if (!block) {
                ReportAllocationFailure(3, wanted);
                return false;
            }
        }
    }
    for (std::int32_t i = index; i < static_cast<std::int32_t>(Count) - 1; ++i) {
        MoveCursor(i);
        std::memcpy(CurrentItem, Storage + static_cast<std::intptr_t>(i + 1) * ItemSize,
                    static_cast<std::size_t>(ItemSize));
    }
    Count = newCount;
    if (Count == 0) {
        dw::GlobalFreeBlock(Storage);
        Storage = nullptr;
        AllocatedBytes = 0;
    } else if (block) {
        std::memcpy(block, Storage, wanted);
        dw::GlobalFreeBlock(Storage);
        Storage = block;
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
    if (Cursor < 0 || static_cast<std::int64_t>(Cursor) > static_cast<std::int64_t>(Count) - 1)
        return false;
    CurrentItem = Storage + static_cast<std::intptr_t>(Cursor) * ItemSize;
    if (CursorVar)
        *CursorVar = CurrentItem;
    ++Cursor;
    return true;
}
