// ReadFile on a pipe or a standard stream: synchronous, as the handles are not overlapped.

#include "platform/linux/call_hook.h"
#include "platform/linux/errno_error.h"
#include "platform/linux/file_object.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

} // namespace

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped) {
    if (bytesRead)
        *bytesRead = 0;
    if (DWORD code = platform::enterCall("ReadFile", [&] {
            char detail[48];
            snprintf(detail, sizeof detail, "%p size=%u", file, bytesToRead);
            return std::string(detail);
        }))
        return fail(code);
    // Overlapped reads are not provided.
    if (overlapped || !bytesRead || (!buffer && bytesToRead != 0))
        return fail(ERROR_INVALID_PARAMETER);
    auto object = platform::lookupHandleAs<platform::tFileObject>(file);
    if (!object)
        return fail(ERROR_INVALID_HANDLE);
    if (bytesToRead == 0)
        return TRUE;
    if (std::size_t peeked = object->takePeeked(static_cast<char*>(buffer), bytesToRead)) {
        *bytesRead = static_cast<DWORD>(peeked);
        return TRUE;
    }
    for (;;) {
        ssize_t n = read(object->fd(), buffer, bytesToRead);
        if (n > 0) {
            *bytesRead = static_cast<DWORD>(n);
            return TRUE;
        }
        if (n == 0) // the end: of a pipe, all writers gone; of a file, success with nothing
            return object->isPipe() ? fail(ERROR_BROKEN_PIPE) : TRUE;
        if (errno == EINTR)
            continue;
        // The handle is valid; a descriptor that refuses reading was opened for writing.
        return fail(errno == EBADF ? ERROR_ACCESS_DENIED : platform::errorFromErrno(errno));
    }
}
