#include "platform/linux/handle_table.h"

#include "platform/linux/call_hook.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace platform {

namespace {

struct tEntry {
    std::shared_ptr<tKernelObject> object;
    bool inheritable;
};

struct tTable {
    std::mutex mutex;
    std::map<ULONG_PTR, tEntry> entries;
    ULONG_PTR next = 4;
};

tTable& table() {
    static tTable* instance = new tTable; // outlives every static that may still close handles
    return *instance;
}

} // namespace

HANDLE insertHandle(std::shared_ptr<tKernelObject> object, bool inheritable) {
    tTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    while (t.entries.count(t.next) || t.next == 0)
        t.next += 4;
    ULONG_PTR value = t.next;
    t.next += 4;
    t.entries.emplace(value, tEntry{std::move(object), inheritable});
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<tKernelObject> lookupHandle(HANDLE handle) {
    tTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto found = t.entries.find(reinterpret_cast<ULONG_PTR>(handle));
    return found == t.entries.end() ? nullptr : found->second.object;
}

bool isHandleInheritable(HANDLE handle) {
    tTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto found = t.entries.find(reinterpret_cast<ULONG_PTR>(handle));
    return found != t.entries.end() && found->second.inheritable;
}

bool removeHandle(HANDLE handle) {
    std::shared_ptr<tKernelObject> released; // destroyed outside the lock
    tTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto found = t.entries.find(reinterpret_cast<ULONG_PTR>(handle));
    if (found == t.entries.end())
        return false;
    released = std::move(found->second.object);
    t.entries.erase(found);
    return true;
}

std::size_t liveHandleCount() {
    tTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.entries.size();
}

} // namespace platform

BOOL WINAPI CloseHandle(HANDLE object) {
    char detail[32];
    if (DWORD code = platform::enterCall("CloseHandle", [&] {
            snprintf(detail, sizeof detail, "%p", object);
            return std::string(detail);
        })) {
        SetLastError(code);
        return FALSE;
    }
    if (!platform::removeHandle(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
