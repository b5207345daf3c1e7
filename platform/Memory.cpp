#include "platform/Memory.h"

#include <cstdlib>

namespace dw {

namespace {
AllocFailureSeam g_seam;
}

void* GlobalAllocZeroed(std::size_t bytes)
{
    if (g_seam && g_seam(bytes))
        return nullptr;
    // calloc(0) may return nullptr legitimately; a block is never empty here.
    return std::calloc(1, bytes == 0 ? 1 : bytes);
}

bool BlockGranted(std::size_t bytes)
{
    return !(g_seam && g_seam(bytes));
}

void GlobalFreeBlock(void* block)
{
    std::free(block);
}

void SetAllocFailureSeam(AllocFailureSeam seam)
{
    g_seam = std::move(seam);
}

} // namespace dw
