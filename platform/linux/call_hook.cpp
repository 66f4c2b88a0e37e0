#include "platform/linux/call_hook.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<tCallHook*> currentHook{nullptr};
}

tCallHook* setCallHook(tCallHook* hook) {
    return currentHook.exchange(hook);
}

tCallHook* callHook() {
    return currentHook.load(std::memory_order_acquire);
}

} // namespace platform
