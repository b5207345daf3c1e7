#pragma once

#include <cstddef>
#include <functional>

namespace dw {

// Zero-filled fixed blocks for the record containers. Returns nullptr when the
// system (or a test's failure seam) cannot supply the block.
void* GlobalAllocZeroed(std::size_t bytes);
void GlobalFreeBlock(void* block);
// Whether a block of this size may be had, without taking it: false only when a
// test's failure seam refuses it. The record containers ask at each step of their
// capacity and take the memory behind it as their records come.
bool BlockGranted(std::size_t bytes);

// Tests decide per request whether it fails; an empty function restores normal allocation.
using AllocFailureSeam = std::function<bool(std::size_t bytes)>;
void SetAllocFailureSeam(AllocFailureSeam seam);

} // namespace dw
