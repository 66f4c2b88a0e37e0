#pragma once

// A copy of some bytes that ends right where an inaccessible page begins: a parser that reads
// even one byte too far crashes the test instead of passing by luck.

#include "platform/win32_api.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <span>
#include <stdexcept>

namespace fixtures {

class tGuardedBytes {
public:
    explicit tGuardedBytes(std::span<const BYTE> bytes) : count(bytes.size()) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t dataPages = (count + page - 1) / page;
        length = (dataPages + 1) * page;
        void* mapped =
            mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::runtime_error("mmap failed");
        base = static_cast<BYTE*>(mapped);
        BYTE* guard = base + dataPages * page;
        if (mprotect(guard, page, PROT_NONE) != 0) {
            munmap(base, length);
            throw std::runtime_error("mprotect failed");
        }
        start = guard - count;
        if (count)
            memcpy(start, bytes.data(), count);
    }
    ~tGuardedBytes() { munmap(base, length); }
    tGuardedBytes(const tGuardedBytes&) = delete;
    tGuardedBytes& operator=(const tGuardedBytes&) = delete;

    const BYTE* data() const { return start; }
    std::size_t size() const { return count; }
    std::span<const BYTE> span() const { return {start, count}; }

private:
    std::size_t count;
    std::size_t length = 0;
    BYTE* base = nullptr;
    BYTE* start = nullptr;
};

} // namespace fixtures
