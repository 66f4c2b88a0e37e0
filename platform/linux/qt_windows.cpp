#include "platform/linux/qt_windows.h"

#include <map>
#include <memory>

namespace platform::qt {

namespace {

struct tRegistry {
    // Ordered by handle, which is the order of creation: handles are never reused.
    std::map<HWND, std::unique_ptr<tWindow>> windows;
    ULONG_PTR nextHandle = 0x20000;
    std::vector<tWindow*> modal;
};

tRegistry& registry() {
    static tRegistry instance;
    return instance;
}

} // namespace

tWindow* createWindow(tKind kind) {
    tRegistry& r = registry();
    auto window = std::make_unique<tWindow>();
    window->handle = reinterpret_cast<HWND>(r.nextHandle);
    r.nextHandle += 4;
    window->kind = kind;
    tWindow* raw = window.get();
    r.windows.emplace(raw->handle, std::move(window));
    return raw;
}

void destroyWindow(tWindow* window) {
    for (tWindow* child : window->children)
        destroyWindow(child);
    window->children.clear();
    if (window->parent) {
        auto& siblings = window->parent->children;
        std::erase(siblings, window);
    }
    registry().windows.erase(window->handle);
}

tWindow* windowOf(HWND handle) {
    auto& windows = registry().windows;
    auto found = windows.find(handle);
    return found == windows.end() ? nullptr : found->second.get();
}

tWindow* liveWindow(HWND handle) {
    tWindow* window = windowOf(handle);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

tWindow* windowOfWidget(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        for (auto& [handle, window] : registry().windows)
            if (window->widget == widget)
                return window.get();
    return nullptr;
}

std::vector<tWindow*>& modalDialogs() {
    return registry().modal;
}

std::vector<tWindow*> allWindows() {
    std::vector<tWindow*> windows;
    for (auto& [handle, window] : registry().windows)
        windows.push_back(window.get());
    return windows;
}

} // namespace platform::qt
