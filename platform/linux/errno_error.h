#pragma once

// The Win32 error code that stands for a POSIX errno value.

#include "platform/win32_api.h"

namespace platform {

DWORD errorFromErrno(int error);

} // namespace platform
