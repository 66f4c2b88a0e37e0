#pragma once

// Owns one file descriptor and closes it.

#include <unistd.h>

#include <utility>

namespace platform {

class tUniqueFd {
public:
    tUniqueFd() = default;
    explicit tUniqueFd(int fd) : descriptor(fd) {}
    ~tUniqueFd() { reset(); }
    tUniqueFd(tUniqueFd&& other) noexcept : descriptor(other.release()) {}
    tUniqueFd& operator=(tUniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    tUniqueFd(const tUniqueFd&) = delete;
    tUniqueFd& operator=(const tUniqueFd&) = delete;

    int get() const { return descriptor; }
    explicit operator bool() const { return descriptor >= 0; }
    int release() { return std::exchange(descriptor, -1); }
    void reset(int fd = -1) {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = fd;
    }

private:
    int descriptor = -1;
};

} // namespace platform
