// GetStdHandle: one handle for each of the descriptors 0, 1 and 2, made on first use and
// inheritable, so that a child can be given them.

#include "platform/linux/call_hook.h"
#include "platform/linux/file_object.h"

#include <fcntl.h>

#include <cstdio>
#include <mutex>

namespace {

std::mutex streamsMutex;
HANDLE streams[3] = {nullptr, nullptr, nullptr};

} // namespace

HANDLE WINAPI GetStdHandle(DWORD stdHandle) {
    if (DWORD code = platform::enterCall("GetStdHandle", [&] {
            char detail[16];
            snprintf(detail, sizeof detail, "%d", static_cast<int>(stdHandle));
            return std::string(detail);
        })) {
        SetLastError(code);
        return INVALID_HANDLE_VALUE;
    }
    int fd;
    switch (stdHandle) {
    case STD_INPUT_HANDLE:
        fd = 0;
        break;
    case STD_OUTPUT_HANDLE:
        fd = 1;
        break;
    case STD_ERROR_HANDLE:
        fd = 2;
        break;
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> lock(streamsMutex);
    if (!streams[fd]) {
        // A process started without this stream has no standard handle for it.
        if (fcntl(fd, F_GETFD) < 0)
            return nullptr;
        streams[fd] = platform::insertHandle(platform::tFileObject::borrow(fd), true);
    }
    return streams[fd];
}
