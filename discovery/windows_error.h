#pragma once

#include "platform/win32_api.h"

// A failed platform call inside discovery: the thread's last-error code taken right after it.
struct tWindowsError {
    DWORD code;
    explicit tWindowsError(DWORD errorCode) : code(errorCode) {}
};

// Raises the code of the platform call that has just failed.
[[noreturn]] inline void raiseLastError() {
    throw tWindowsError(GetLastError());
}
