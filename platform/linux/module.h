#pragma once

// The program's own module. On Linux the program is its only module: no libraries of its own
// are loaded by name.

#include "platform/win32_api.h"

namespace platform {

// The handle GetModuleHandleA(nullptr) returns, fixed for the life of the process.
HMODULE ownModule();

// Whether `module` names the program's module: null or its handle, as resource calls take it.
bool isOwnModule(HMODULE module);

} // namespace platform
