// GetModuleFileNameA for the executable itself, read from /proc/self/exe.

#include "platform/linux/module_path.h"

#include "platform/linux/call_hook.h"
#include "platform/linux/module.h"
#include "platform/linux/errno_error.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {

namespace {

std::mutex overrideMutex;
std::optional<std::string> pathOverride;

} // namespace

void setModulePathForTesting(std::optional<std::string> path) {
    std::lock_guard<std::mutex> lock(overrideMutex);
    pathOverride = std::move(path);
}

bool modulePath(std::string& path, DWORD& error) {
    {
        std::lock_guard<std::mutex> lock(overrideMutex);
        if (pathOverride) {
            path = *pathOverride;
            return true;
        }
    }
    // readlink does not say how long the target is: grow until it fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            error = errorFromErrno(errno);
            return false;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            path.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (DWORD code = platform::enterCall("GetModuleFileNameA", [&] {
            char detail[48];
            snprintf(detail, sizeof detail, "%p size=%u", static_cast<void*>(module), size);
            return std::string(detail);
        })) {
        SetLastError(code);
        return 0;
    }
    // Only the executable itself is a module here.
    if (!platform::isOwnModule(module)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string path;
    DWORD error = 0;
    if (!platform::modulePath(path, error)) {
        SetLastError(error);
        return 0;
    }
    if (size == 0 || !fileName) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // A path that does not fit is cut to size - 1 characters and terminated; the answer is
    // then `size` itself, as current Windows versions give it.
    if (path.size() >= size) {
        memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
