#pragma once

// The icons LoadIconA hands out, for the code that shows them.

#include "platform/win32_api.h"

#include <QIcon>

namespace platform::qt {

// The icon behind `icon`; false for a handle LoadIconA did not give.
bool iconOf(HICON icon, QIcon& out);

} // namespace platform::qt
