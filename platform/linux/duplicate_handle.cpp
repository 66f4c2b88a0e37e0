// GetCurrentProcess and DuplicateHandle, within this process only.

#include "platform/linux/call_hook.h"
#include "platform/linux/process_object.h"

#include <cstdio>

namespace {

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

BOOL duplicate(HANDLE sourceHandle, HANDLE targetProcess, LPHANDLE targetHandle,
               BOOL inheritHandle) {
    if (targetProcess != platform::currentProcessHandle)
        return fail(platform::lookupHandleAs<platform::tProcessObject>(targetProcess)
                        ? ERROR_NOT_SUPPORTED // another process's handle table is out of reach
                        : ERROR_INVALID_HANDLE);
    std::shared_ptr<platform::tKernelObject> object = platform::lookupHandle(sourceHandle);
    if (!object)
        return fail(ERROR_INVALID_HANDLE);
    // Without a place for it the duplicate could never be closed; it is not made.
    if (targetHandle)
        *targetHandle = platform::insertHandle(std::move(object), inheritHandle != 0);
    return TRUE;
}

} // namespace

HANDLE WINAPI GetCurrentProcess(void) {
    // Cannot fail; announced for the record only.
    platform::enterCall("GetCurrentProcess");
    return platform::currentProcessHandle;
}

// The duplicate refers to the same object as the source and has its access (access rights
// are not kept apart here, so DUPLICATE_SAME_ACCESS and desiredAccess change nothing).
BOOL WINAPI DuplicateHandle(HANDLE sourceProcess, HANDLE sourceHandle, HANDLE targetProcess,
                            LPHANDLE targetHandle, DWORD desiredAccess, BOOL inheritHandle,
                            DWORD options) {
    DWORD injected = platform::enterCall("DuplicateHandle", [&] {
        char detail[96];
        snprintf(detail, sizeof detail, "%p %p %p access=0x%x inherit=%d options=0x%x",
                 sourceProcess, sourceHandle, targetProcess, desiredAccess, inheritHandle, options);
        return std::string(detail);
    });
    bool ownSource = sourceProcess == platform::currentProcessHandle;
    BOOL result;
    if (injected)
        result = fail(injected);
    else if (!ownSource)
        result = fail(platform::lookupHandleAs<platform::tProcessObject>(sourceProcess)
                          ? ERROR_NOT_SUPPORTED
                          : ERROR_INVALID_HANDLE);
    else
        result = duplicate(sourceHandle, targetProcess, targetHandle, inheritHandle);
    // The source goes whether or not the duplicate was made.
    if (ownSource && (options & DUPLICATE_CLOSE_SOURCE))
        platform::removeHandle(sourceHandle);
    return result;
}
