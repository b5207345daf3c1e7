#pragma once

#include <cstddef>
#include <vector>

// Memory for the records and texts a load brings in, taken from the system in
// large chunks and handed out in order. A load then costs a few allocations
// instead of one per day and per text, and a walk over the grid reads memory in
// the order it lies. Nothing is given back piece by piece: a piece that is no
// longer used stays in its chunk until the chunks are released.
class StoreArena
{
public:
    StoreArena() = default;
    ~StoreArena() { ReleaseAll(); }
    StoreArena(const StoreArena&) = delete;
    StoreArena& operator=(const StoreArena&) = delete;

    // bytes from the current chunk, aligned to 8; nullptr without memory.
    void* Take(std::size_t bytes)
    {
        const std::size_t rounded = (bytes + 7) & ~std::size_t{7};
        if (static_cast<std::size_t>(m_end - m_next) >= rounded) {
            char* piece = m_next;
            m_next += rounded;
            return piece;
        }
        return TakeSlow(rounded);
    }
    // bytes without alignment, for texts.
    char* TakeBytes(std::size_t bytes)
    {
        if (static_cast<std::size_t>(m_end - m_next) >= bytes) {
            char* piece = m_next;
            m_next += bytes;
            return piece;
        }
        return static_cast<char*>(TakeSlow(bytes));
    }
    // Bytes left in the current chunk: what the next pieces may take without a new one.
    std::size_t room() const { return static_cast<std::size_t>(m_end - m_next); }
    // Whether a piece came from one of the chunks, the retired ones included.
    // Looks only at the addresses, never into the piece.
    bool Holds(const void* piece) const;

    // The chunks in use now still back what they hold, but new pieces come from
    // new chunks; ReleaseRetired frees the old ones once nothing points into them.
    void Retire();
    void ReleaseRetired();
    void ReleaseAll();

    // Bytes of all chunks together.
    std::size_t chunkBytes() const { return m_chunkBytes; }

private:
    struct Chunk
    {
        char* begin;
        std::size_t size;
    };
    void* TakeSlow(std::size_t bytes);

    char* m_next = nullptr;
    char* m_end = nullptr;
    std::vector<Chunk> m_chunks;
    std::vector<Chunk> m_retired;
    std::size_t m_chunkBytes = 0;
};
