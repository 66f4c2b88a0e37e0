#pragma once

// The Win32 code a device or file call reports for a failed POSIX call.

#include "platform/win32_api.h"

namespace platform::devices {

DWORD win32ErrorFromErrno(int error);

} // namespace platform::devices
