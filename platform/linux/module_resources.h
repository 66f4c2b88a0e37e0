#pragma once

// The program's compiled resources (a RES image), linked into the program from its .rc file.
// The resource calls (FindResourceA and the rest) serve the program's module from it.

#include "platform/win32_api.h"

#include <span>

namespace platform {

// Defined by the program's resources library, not by the platform.
std::span<const BYTE> moduleResourceImage();

} // namespace platform
