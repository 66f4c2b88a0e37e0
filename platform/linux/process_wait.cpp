// Waiting for a child and reading its exit status.

#include "platform/linux/call_hook.h"
#include "platform/linux/errno_error.h"
#include "platform/linux/process_object.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

using tClock = std::chrono::steady_clock;

DWORD waitFailed(DWORD code) {
    SetLastError(code);
    return WAIT_FAILED;
}

// Waits for the pidfd to become readable, which it does when the child has ended.
// 1: ended, 0: time-out, -1: failure with errno set.
int waitReadable(int pidfd, DWORD milliseconds) {
    const bool forever = milliseconds == INFINITE;
    const tClock::time_point deadline = tClock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        timespec remaining{};
        if (!forever) {
            auto left =
                std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - tClock::now());
            if (left.count() > 0) {
                remaining.tv_sec = static_cast<time_t>(left.count() / 1000000000);
                remaining.tv_nsec = static_cast<long>(left.count() % 1000000000);
            }
        }
        pollfd p{pidfd, POLLIN, 0};
        int ready = ppoll(&p, 1, forever ? nullptr : &remaining, nullptr);
        if (ready >= 0)
            return ready > 0 ? 1 : 0;
        if (errno != EINTR)
            return -1;
    }
}

} // namespace

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    if (DWORD code = platform::enterCall("WaitForSingleObject", [&] {
            char detail[48];
            snprintf(detail, sizeof detail, "%p ms=%u", handle, milliseconds);
            return std::string(detail);
        }))
        return waitFailed(code);
    platform::reapAbandonedChildren();
    // Only processes and their threads are waitable here.
    auto process = platform::waitableProcess(handle);
    if (!process)
        return waitFailed(ERROR_INVALID_HANDLE);
    while (!process->ended()) {
        int ready = waitReadable(process->pidfd(), milliseconds);
        if (ready < 0)
            return waitFailed(platform::errorFromErrno(errno));
        if (ready == 0)
            return WAIT_TIMEOUT;
    }
    return WAIT_OBJECT_0;
}

BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    if (DWORD code = platform::enterCall("GetExitCodeProcess", [&] {
            char detail[32];
            snprintf(detail, sizeof detail, "%p", process);
            return std::string(detail);
        })) {
        SetLastError(code);
        return FALSE;
    }
    platform::reapAbandonedChildren();
    if (!exitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (process == platform::currentProcessHandle) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    auto child = platform::lookupHandleAs<platform::tProcessObject>(process);
    if (!child) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!child->ended()) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    if (!child->exitCode(*exitCode)) {
        // Reaped behind our back: the status is gone.
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}
