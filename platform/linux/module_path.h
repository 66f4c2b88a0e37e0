#pragma once

// The full path of the running executable, as GetModuleFileNameA reports it.

#include "platform/win32_api.h"

#include <optional>
#include <string>

namespace platform {

// The executable's path; false with a Win32 error code in `error` when it cannot be read.
bool modulePath(std::string& path, DWORD& error);

// Makes modulePath and GetModuleFileNameA report `path` instead of the real one (nullopt
// restores it). Tests use it to see how long paths are handled.
void setModulePathForTesting(std::optional<std::string> path);

} // namespace platform
