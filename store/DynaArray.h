#pragma once

#include "store/AllocationReport.h"
#include "store/StoreArena.h"

#include <cstdint>
#include <vector>

// What the containers of one owner share: how many of them hold records (so the
// owner can tell at once whether any does) and which, the arenas a load puts
// their records and texts into, and who is told when memory runs out.
struct ContainerPool
{
    std::uint32_t Filled = 0; // first member: a container reaches the pool through its counter
    StoreArena Records;
    StoreArena Texts;
    // The owner may set a report of its own; nullptr: failures are only returned.
    IAllocationReport* Report = ProgramAllocationReport();
    // When the owner places its containers side by side from Slots on: one bit
    // per container, set while it holds records.
    const void* Slots = nullptr;
    std::vector<std::uint64_t> FilledBits;

    // Keeps the bit of the container at position index up to date.
    void MarkSlot(std::size_t index, bool filled)
    {
        const std::uint64_t bit = std::uint64_t{1} << (index % 64);
        if (filled)
            FilledBits[index / 64] |= bit;
        else
            FilledBits[index / 64] &= ~bit;
    }
    // which and bytes as IAllocationReport::AllocationFailed takes them.
    void ReportFailure(int which, std::uint32_t bytes) const
    {
        if (Report)
            Report->AllocationFailed(which, bytes);
    }
};

// A growable container of fixed-size records in one block. Its capacity, as
// callers see it, moves in whole steps of 100 records; the memory behind a step
// is taken as the records come (a loaded day holds exactly its records), so a
// day with one appointment costs one record, not a hundred. A cursor walks it,
// and every cursor move is mirrored into a pointer variable of the container's
// user.
//
// Pointers to records become invalid at the next Append or Delete.
class TDynaArray
{
public:
    // filledCounter, when given, counts the containers sharing it that hold at
    // least one record, so their owner can tell at once whether any does.
    TDynaArray(std::int32_t itemSize, void** cursorVar, std::uint32_t* filledCounter = nullptr)
        : CursorVar(cursorVar), FilledCounter(filledCounter), ItemSize(itemSize), Held(0), Pooled(0),
          InArena(0)
    {
    }
    // A container whose counter is the pool's and that may take records from its arena.
    TDynaArray(std::int32_t itemSize, void** cursorVar, ContainerPool* pool)
        : CursorVar(cursorVar), FilledCounter(&pool->Filled), ItemSize(itemSize), Held(0), Pooled(1),
          InArena(0)
    {
    }
    // Inline: the grid destroys tens of thousands of mostly empty containers at once.
    ~TDynaArray()
    {
        if (Storage)
            FreeStorage();
        if (Count > 0 && FilledCounter)
            CountFilled(false);
        Storage = nullptr;
        CurrentItem = nullptr;
        Cursor = -1;
    }
    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    // Adds a zero-filled record at the end and makes it current. When the
    // capacity's next step or the memory behind it cannot be had the allocation
    // failure is reported, nothing changes and nullptr comes back.
    void* Append();
    // Removes the record at index; an index out of range changes nothing (and
    // returns true). Returns false only when the smaller step could not be had:
    // then the failure was reported and nothing changed.
    bool Delete(std::int32_t index);
    // Makes count records that lie in the pool's arena (and stay there) the
    // records of an empty container, as count appends of them would: each step
    // of the capacity is asked for in turn, and at a refused one the failure is
    // reported and the records before it are kept. The last record is current.
    // Returns how many were taken.
    std::uint32_t Adopt(void* records, std::uint32_t count)
    {
        const std::uint32_t taken = AdoptRecords(records, count);
        if (taken > 0 && FilledCounter)
            CountFilled(true);
        return taken;
    }
    // Makes the record at index (0..Count-1, not checked) current.
    void* GoTo(std::int32_t index)
    {
        MoveCursor(index);
        return CurrentItem;
    }
    void First();
    bool Next();

    std::uint32_t count() const { return Count; }
    std::int32_t cursor() const { return Cursor; }
    void* currentItem() const { return CurrentItem; }
    const void* storage() const { return Count > 0 ? Storage : nullptr; }
    // The capacity in bytes: whole steps of 100 records for the records in use.
    std::uint32_t allocatedBytes() const
    {
        return Count == 0 ? 0
                          : ((Count - 1) / DefaultBlockSize + 1) * DefaultBlockSize *
                                static_cast<std::uint32_t>(ItemSize);
    }
    // The records the memory taken holds (at most the capacity's).
    std::uint32_t heldRecords() const { return Held; }
    std::uint32_t blockSize() const { return DefaultBlockSize; }
    std::int32_t itemSize() const { return ItemSize; }
    // Where every cursor move is mirrored; nullptr when nowhere.
    void** cursorVar() const { return CursorVar; }
    // The record at index (0..Count-1, not checked) without moving the cursor.
    void* itemAt(std::int32_t index) const { return Storage + static_cast<std::intptr_t>(index) * ItemSize; }

    static constexpr std::uint32_t DefaultBlockSize = 100;

private:
    friend class CalendarGrid; // counts the days it fills by a load itself, by their position

    // Adopt without counting the container as filled; the caller does that.
    std::uint32_t AdoptRecords(void* records, std::uint32_t count);
    // The capacity in bytes for count records (count >= 1); false when it does
    // not fit in 32 bits.
    bool WantedBytes(std::uint32_t count, std::uint32_t& bytes) const;
    // Makes the memory hold at least records (within the capacity of records);
    // false without memory, with everything as it was.
    bool Hold(std::uint32_t records);
    void FreeStorage();
    ContainerPool* Pool() const { return reinterpret_cast<ContainerPool*>(FilledCounter); }
    // Tells the pool's report, or the program's for a container without a pool.
    void ReportFailure(int which, std::uint32_t bytes) const;
    // Keeps the counter (and the pool's bits) up to date when the container
    // gets its first record or loses its last.
    void CountFilled(bool filled);
    void MoveCursor(std::int32_t index)
    {
        Cursor = index;
        CurrentItem = Storage + static_cast<std::intptr_t>(index) * ItemSize;
        if (CursorVar)
            *CursorVar = CurrentItem;
    }
    void ClearCursor();

    void** CursorVar;
    void* CurrentItem = nullptr;
    char* Storage = nullptr;
    std::uint32_t* FilledCounter;
    std::uint32_t Count = 0;
    std::int32_t Cursor = -1;
    std::int32_t ItemSize;
    std::uint32_t Held : 30;   // records the memory behind Storage takes
    std::uint32_t Pooled : 1;  // FilledCounter is the first member of a ContainerPool
    std::uint32_t InArena : 1; // Storage is a piece of the pool's arena, not a heap block
};
