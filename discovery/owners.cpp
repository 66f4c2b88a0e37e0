#include "discovery/owners.h"

#include "discovery/windows_error.h"

tHeapBuffer::tHeapBuffer() : heap(GetProcessHeap()) {}

tHeapBuffer::~tHeapBuffer() {
    if (block)
        HeapFree(heap, 0, block);
}

void tHeapBuffer::grow(DWORD bytes) {
    void* grown = block ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, bytes)
                        : HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes);
    if (!grown)
        raiseLastError();
    block = static_cast<BYTE*>(grown);
}

DWORD tHeapBuffer::size() const {
    // HeapSize is the process heap's own answer to what LocalSize reports for such a block.
    return block ? static_cast<DWORD>(HeapSize(heap, 0, block)) : 0;
}
