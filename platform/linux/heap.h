#pragma once

// Counters of the process heap, for leak checks and allocation benchmarks.

#include <cstddef>

namespace platform {

std::size_t liveHeapBlocks();
// Successful HeapAlloc and HeapReAlloc calls since the process started.
std::size_t heapAllocCount();
std::size_t heapReAllocCount();

} // namespace platform
