#pragma once

// A child process behind a handle, held through a pidfd. The child stays unreaped until it has
// ended and a call looks at it, so its pid cannot pass to another process in between.

#include "platform/linux/handle_table.h"
#include "platform/linux/unique_fd.h"

#include <sys/types.h>

#include <mutex>

namespace platform {

// What GetCurrentProcess answers: a value that is no entry of the handle table.
inline HANDLE const currentProcessHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

class tProcessObject : public tKernelObject {
public:
    tProcessObject(pid_t pid, tUniqueFd pidfd);
    // A child that still runs is left running and handed to the reaper.
    ~tProcessObject() override;

    pid_t pid() const { return id; }
    int pidfd() const { return descriptor.get(); }

    // Reaps the child if it has ended, without blocking; true once it has ended.
    bool ended();
    // After ended(): false when the status is lost (something else reaped the child).
    bool exitCode(DWORD& code);

private:
    pid_t id;
    tUniqueFd descriptor;
    std::mutex mutex;
    bool reaped = false;
    bool statusKnown = false;
    DWORD status = 0;
};

// The primary thread of a child: its own kernel object, waitable like the process.
class tThreadObject : public tKernelObject {
public:
    explicit tThreadObject(std::shared_ptr<tProcessObject> owner) : process(std::move(owner)) {}
    std::shared_ptr<tProcessObject> process;
};

// The process that a process or thread handle stands for, or null.
std::shared_ptr<tProcessObject> waitableProcess(HANDLE handle);

// Reaps the children whose handles were all closed while they ran and that have ended since.
// Every process call makes this sweep, so no such child stays a zombie past the next one.
void reapAbandonedChildren();

} // namespace platform
