#pragma once

// How "\\.\PhysicalDriveN" reaches a program on a platform without such names: the device
// backend that serves the disk list tells which file stands for disk N right now.

#include "platform/win32_api.h"

#include <string>

namespace platform {

// The path to hand a program for disk `number`; false with a Win32 error code in `error` when
// no such disk is present (any more).
bool resolvePhysicalDrive(DWORD number, std::string& path, DWORD& error);

} // namespace platform
