#pragma once

// A file descriptor behind a handle: a pipe end or one of the standard streams.

#include "platform/linux/handle_table.h"
#include "platform/linux/unique_fd.h"

#include <cstddef>
#include <mutex>
#include <string>

namespace platform {

class tFileObject : public tKernelObject {
public:
    // Owns `fd`: it is closed when the last handle to the object goes.
    explicit tFileObject(tUniqueFd fd);
    // Borrows `fd` (a standard stream), which stays open.
    static std::shared_ptr<tFileObject> borrow(int fd);

    int fd() const { return descriptor.get() >= 0 ? descriptor.get() : borrowed; }
    // A pipe or socket: its end of data means that every writer has gone.
    bool isPipe() const { return pipe; }

    // Bytes that PeekNamedPipe had to take out of the pipe to show them; ReadFile hands them
    // out before anything else.
    void keepPeeked(const char* bytes, std::size_t count);
    std::size_t peekedCount();
    std::size_t copyPeeked(char* buffer, std::size_t count); // leaves them in place
    std::size_t takePeeked(char* buffer, std::size_t count);

private:
    tFileObject(int borrowedFd, bool isBorrowed);

    tUniqueFd descriptor;
    int borrowed = -1;
    bool pipe = false;
    std::mutex peekedMutex;
    std::string peeked;
};

} // namespace platform
