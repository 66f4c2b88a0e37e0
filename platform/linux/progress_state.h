#pragma once

// The state a progress bar control keeps, and what its messages do to it, apart from any
// drawing: range, position, step.

#include "platform/win32_api.h"

namespace platform {

struct tProgressState {
    // The control's defaults: range 0 to 100, step 10.
    int lower = 0;
    int upper = 100;
    int position = 0;
    int step = 10;

    // Applies one PBM_ message and returns what the control answers; `handled` is false for a
    // message the control does not know (answer 0).
    LRESULT apply(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
};

} // namespace platform
