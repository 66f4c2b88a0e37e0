// Anonymous pipes: CreatePipe and PeekNamedPipe.

#include "platform/linux/call_hook.h"
#include "platform/linux/errno_error.h"
#include "platform/linux/file_object.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

// Every write end has been closed. Linux reports this as POLLHUP on the read end.
bool writersGone(int fd) {
    pollfd p{fd, POLLIN, 0};
    int ready;
    do
        ready = poll(&p, 1, 0);
    while (ready < 0 && errno == EINTR);
    return ready > 0 && (p.revents & POLLHUP);
}

} // namespace

BOOL WINAPI CreatePipe(PHANDLE readPipe, PHANDLE writePipe, LPSECURITY_ATTRIBUTES pipeAttributes,
                       DWORD size) {
    bool inheritable = pipeAttributes && pipeAttributes->bInheritHandle;
    if (DWORD code = platform::enterCall("CreatePipe", [&] {
            char detail[48];
            snprintf(detail, sizeof detail, "inherit=%d size=%u", inheritable ? 1 : 0, size);
            return std::string(detail);
        }))
        return fail(code);
    if (!readPipe || !writePipe)
        return fail(ERROR_INVALID_PARAMETER);
    // The size is only a suggestion on Windows; the kernel's default serves.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return fail(platform::errorFromErrno(errno));
    platform::tUniqueFd readEnd(fds[0]), writeEnd(fds[1]);
    auto reader = std::make_shared<platform::tFileObject>(std::move(readEnd));
    auto writer = std::make_shared<platform::tFileObject>(std::move(writeEnd));
    *readPipe = platform::insertHandle(std::move(reader), inheritable);
    *writePipe = platform::insertHandle(std::move(writer), inheritable);
    return TRUE;
}

BOOL WINAPI PeekNamedPipe(HANDLE pipe, LPVOID buffer, DWORD bufferSize, LPDWORD bytesRead,
                          LPDWORD totalBytesAvail, LPDWORD bytesLeftThisMessage) {
    if (DWORD code = platform::enterCall("PeekNamedPipe", [&] {
            char detail[48];
            snprintf(detail, sizeof detail, "%p size=%u", pipe, bufferSize);
            return std::string(detail);
        }))
        return fail(code);
    auto object = platform::lookupHandleAs<platform::tFileObject>(pipe);
    if (!object)
        return fail(ERROR_INVALID_HANDLE);
    if (!object->isPipe())
        return fail(ERROR_INVALID_FUNCTION);
    int fd = object->fd();
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0)
        return fail(platform::errorFromErrno(errno));
    if ((flags & O_ACCMODE) == O_WRONLY)
        return fail(ERROR_ACCESS_DENIED);

    int queued = 0;
    if (ioctl(fd, FIONREAD, &queued) != 0)
        return fail(platform::errorFromErrno(errno));

    DWORD copied = 0;
    if (buffer && bufferSize != 0) {
        // A pipe cannot be read without consuming: move what the caller wants to see out of
        // the pipe into the object, where ReadFile finds it first. Reading no more than is
        // queued never blocks, since this process holds the only read end.
        std::size_t peeked = object->peekedCount();
        std::size_t wanted = std::min<std::size_t>(bufferSize, peeked + queued);
        if (wanted > peeked) {
            std::vector<char> moved(wanted - peeked);
            ssize_t n;
            do
                n = read(fd, moved.data(), moved.size());
            while (n < 0 && errno == EINTR);
            if (n < 0)
                return fail(platform::errorFromErrno(errno));
            object->keepPeeked(moved.data(), static_cast<std::size_t>(n));
            queued -= static_cast<int>(n);
        }
        copied = static_cast<DWORD>(object->copyPeeked(static_cast<char*>(buffer), bufferSize));
    }
    std::size_t available = object->peekedCount() + static_cast<std::size_t>(queued);
    if (available == 0 && writersGone(fd))
        return fail(ERROR_BROKEN_PIPE);
    if (bytesRead)
        *bytesRead = copied;
    if (totalBytesAvail)
        *totalBytesAvail = static_cast<DWORD>(std::min<std::size_t>(available, 0xFFFFFFFFu));
    if (bytesLeftThisMessage)
        *bytesLeftThisMessage = 0; // a byte-mode pipe has no messages
    return TRUE;
}
