#include "platform/win32_api.h"

#include <time.h>

DWORD WINAPI GetTickCount(void) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Milliseconds since an arbitrary start, wrapping at 2^32 as on Windows.
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                              static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}
