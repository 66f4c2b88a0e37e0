#include "platform/linux/progress_state.h"

#include <algorithm>

namespace platform {

LRESULT tProgressState::apply(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    auto clamp = [this](int value) { return std::min(std::max(value, lower), upper); };
    int previous = position;
    handled = true;
    switch (message) {
    case PBM_SETRANGE: {
        LRESULT old = MAKELONG(lower, upper);
        lower = LOWORD(lParam);
        upper = HIWORD(lParam);
        position = clamp(position);
        return old;
    }
    case PBM_SETRANGE32: {
        LRESULT old = MAKELONG(lower, upper);
        lower = static_cast<int>(wParam);
        upper = static_cast<int>(lParam);
        position = clamp(position);
        return old;
    }
    case PBM_GETRANGE:
        return wParam ? lower : upper;
    case PBM_SETPOS:
        position = clamp(static_cast<int>(wParam));
        return previous;
    case PBM_DELTAPOS:
        position = clamp(position + static_cast<int>(wParam));
        return previous;
    case PBM_SETSTEP: {
        int old = step;
        step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: {
        int next = position + step;
        // Past the end the bar starts over from the beginning of its range, keeping the
        // overshoot; the headless desktop steps the same way.
        if (next > upper)
            next = lower + (next - upper);
        position = clamp(next);
        return previous;
    }
    case PBM_GETPOS:
        return position;
    default:
        handled = false;
        return 0;
    }
}

} // namespace platform
