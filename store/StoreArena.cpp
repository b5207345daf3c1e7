#include "store/StoreArena.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Small enough that an almost empty store stays small, large enough that a big
// one needs only a few chunks (and the system maps them on first touch).
constexpr std::size_t FirstChunk = 16 * 1024;
constexpr std::size_t LargestChunk = 1024 * 1024;

bool InChunk(const void* piece, const char* begin, std::size_t size)
{
    const auto* p = static_cast<const char*>(piece);
    return p >= begin && p < begin + size;
}

} // namespace

void* StoreArena::TakeSlow(std::size_t bytes)
{
    // Each chunk twice the last, up to a limit; a piece larger than that gets a
    // chunk of its own size.
    const std::size_t last = m_chunks.empty() ? FirstChunk / 2 : m_chunks.back().size;
    const std::size_t size = std::max(std::min(last * 2, LargestChunk), bytes);
    auto* begin = static_cast<char*>(std::malloc(size));
    if (!begin)
        return nullptr;
    m_chunks.push_back({begin, size});
    m_chunkBytes += size;
    m_next = begin + bytes;
    m_end = begin + size;
    return begin;
}

bool StoreArena::Holds(const void* piece) const
{
    const auto in = [piece](const Chunk& c) { return InChunk(piece, c.begin, c.size); };
    return std::any_of(m_chunks.begin(), m_chunks.end(), in) ||
           std::any_of(m_retired.begin(), m_retired.end(), in);
}

void StoreArena::Retire()
{
    m_retired.insert(m_retired.end(), m_chunks.begin(), m_chunks.end());
    m_chunks.clear();
    m_next = m_end = nullptr;
}

void StoreArena::ReleaseRetired()
{
    for (const Chunk& c : m_retired) {
        std::free(c.begin);
        m_chunkBytes -= c.size;
    }
    m_retired.clear();
}

void StoreArena::ReleaseAll()
{
    Retire();
    ReleaseRetired();
}
