#pragma once

#include <cstdint>

// A growable container of fixed-size records in one zero-filled block. Capacity
// moves in whole blocks of 100 records. A cursor walks it, and every cursor move
// is mirrored into a pointer variable of the container's user.
//
// Pointers to records become invalid at the next Append or Delete.
class TDynaArray
{
public:
    // filledCounter, when given, counts the containers sharing it that hold at
    // least one record, so their owner can tell at once whether any does.
    TDynaArray(std::int32_t itemSize, void** cursorVar, std::uint32_t* filledCounter = nullptr)
        : CursorVar(cursorVar), ItemSize(itemSize), FilledCounter(filledCounter)
    {
    }
    // Inline: the grid destroys tens of thousands of mostly empty containers at once.
    virtual ~TDynaArray()
    {
        if (Storage)
            FreeStorage();
        if (Count > 0 && FilledCounter)
            --*FilledCounter;
        Storage = nullptr;
        CurrentItem = nullptr;
        Cursor = -1;
    }
    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    // Adds a zero-filled record at the end and makes it current. When no block can
    // be had the allocation message is shown, nothing changes and nullptr comes back.
    void* Append();
    // Removes the record at index; an index out of range changes nothing (and
    // returns true). Returns false only when the smaller block could not be had:
    // then the message was shown and nothing changed.
    bool Delete(std::int32_t index);
    // Makes the record at index (0..Count-1, not checked) current.
    void* GoTo(std::int32_t index);
    void First();
    bool Next();

    std::uint32_t count() const { return Count; }
    std::int32_t cursor() const { return Cursor; }
    void* currentItem() const { return CurrentItem; }
    const void* storage() const { return Storage; }
    std::uint32_t allocatedBytes() const { return AllocatedBytes; }
    std::uint32_t blockSize() const { return BlockSize; }
    std::int32_t itemSize() const { return ItemSize; }
    // The record at index (0..Count-1, not checked) without moving the cursor.
    void* itemAt(std::int32_t index) const { return Storage + static_cast<std::intptr_t>(index) * ItemSize; }

    static constexpr std::uint32_t DefaultBlockSize = 100;

private:
    // Block size in bytes for count records (count >= 1); false when it does not
    // fit in 32 bits.
    bool WantedBytes(std::uint32_t count, std::uint32_t& bytes) const;
    // Makes the block fit newCount records for Append; on failure shows the
    // message and leaves everything as it was.
    bool Grow(std::uint32_t newCount, bool& changed);
    void FreeStorage();
    void MoveCursor(std::int32_t index);
    void ClearCursor();

    void** CursorVar;
    void* CurrentItem = nullptr;
    char* Storage = nullptr;
    std::uint32_t Count = 0;
    std::int32_t Cursor = -1;
    std::uint32_t AllocatedBytes = 0;
    std::uint32_t BlockSize = DefaultBlockSize;
    std::int32_t ItemSize;
    std::uint32_t* FilledCounter;
};
