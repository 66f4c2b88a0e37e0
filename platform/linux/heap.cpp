// The process heap over malloc. Each block carries a header with its size, so that HeapSize
// answers exactly the size last allocated or resized, and a tag that catches foreign pointers.

#include "platform/linux/heap.h"

#include "platform/linux/call_hook.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint64_t blockTag = 0x48454150424c4b31ULL; // "HEAPBLK1"

struct alignas(16) tBlockHeader {
    uint64_t tag;
    SIZE_T size;
};

std::atomic<std::size_t> liveBlocks{0};
std::atomic<std::size_t> allocs{0};
std::atomic<std::size_t> reallocs{0};

// The process heap is not a kernel object; its handle is a fixed value outside the table.
HANDLE const processHeap = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x50000));

tBlockHeader* headerOf(LPCVOID block) {
    if (!block)
        return nullptr;
    auto* header =
        reinterpret_cast<tBlockHeader*>(const_cast<BYTE*>(static_cast<const BYTE*>(block))) - 1;
    return header->tag == blockTag ? header : nullptr;
}

std::string sizeDetail(SIZE_T bytes) {
    char text[32];
    snprintf(text, sizeof text, "%zu", static_cast<std::size_t>(bytes));
    return text;
}

} // namespace

namespace platform {
std::size_t liveHeapBlocks() {
    return liveBlocks.load();
}
std::size_t heapAllocCount() {
    return allocs.load();
}
std::size_t heapReAllocCount() {
    return reallocs.load();
}
} // namespace platform

HANDLE WINAPI GetProcessHeap(void) {
    return processHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (DWORD code = platform::enterCall("HeapAlloc", [&] { return sizeDetail(bytes); })) {
        SetLastError(code);
        return nullptr;
    }
    if (heap != processHeap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto* header = static_cast<tBlockHeader*>((flags & HEAP_ZERO_MEMORY)
                                                  ? calloc(1, sizeof(tBlockHeader) + bytes)
                                                  : malloc(sizeof(tBlockHeader) + bytes));
    if (!header) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->tag = blockTag;
    header->size = bytes;
    ++liveBlocks;
    ++allocs;
    return header + 1;
}

LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
    if (DWORD code = platform::enterCall("HeapReAlloc", [&] { return sizeDetail(bytes); })) {
        SetLastError(code);
        return nullptr;
    }
    tBlockHeader* header = headerOf(block);
    if (heap != processHeap || !header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SIZE_T old = header->size;
    auto* moved = static_cast<tBlockHeader*>(realloc(header, sizeof(tBlockHeader) + bytes));
    if (!moved) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr; // the old block stays as it was
    }
    if ((flags & HEAP_ZERO_MEMORY) && bytes > old)
        memset(reinterpret_cast<BYTE*>(moved + 1) + old, 0, bytes - old);
    moved->size = bytes;
    ++reallocs;
    return moved + 1;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD /*flags*/, LPVOID block) {
    if (DWORD code = platform::enterCall("HeapFree")) {
        SetLastError(code);
        return FALSE;
    }
    if (!block)
        return TRUE;
    tBlockHeader* header = headerOf(block);
    if (heap != processHeap || !header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    header->tag = 0;
    free(header);
    --liveBlocks;
    return TRUE;
}

SIZE_T WINAPI HeapSize(HANDLE heap, DWORD /*flags*/, LPCVOID block) {
    tBlockHeader* header = headerOf(block);
    if (heap != processHeap || !header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<SIZE_T>(-1);
    }
    return header->size;
}
