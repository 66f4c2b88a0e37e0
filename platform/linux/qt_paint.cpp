// Painting: paint contexts, and the paint messages a busy program pulls while it takes no input.

#include "platform/linux/qt_paint.h"

#include "platform/linux/call_hook.h"
#include "platform/linux/qt_windows.h"

#include <QCoreApplication>
#include <QPainter>
#include <QWidget>

#include <map>
#include <memory>

using namespace platform::qt;

namespace {

struct tPaintContext {
    HWND window;
    std::unique_ptr<QPainter> painter; // null outside the widget's paint event
};

struct tPaintState {
    QWidget* routed = nullptr; // the widget inside its paint event
    std::map<HDC, tPaintContext> contexts;
    ULONG_PTR nextContext = 0x50000;
};

tPaintState& state() {
    static tPaintState instance;
    return instance;
}

bool wantsPaint(UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (filterMin <= WM_PAINT && WM_PAINT <= filterMax);
}

} // namespace

namespace platform::qt {

tRoutedPaint::tRoutedPaint(QWidget* widget) : previous(state().routed) {
    state().routed = widget;
}

tRoutedPaint::~tRoutedPaint() {
    state().routed = previous;
}

QPainter* painterOf(HDC dc, bool& known) {
    auto found = state().contexts.find(dc);
    known = found != state().contexts.end();
    return known ? found->second.painter.get() : nullptr;
}

} // namespace platform::qt

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (DWORD code = platform::enterCall("BeginPaint")) {
        SetLastError(code);
        return nullptr;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return nullptr;
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    tPaintState& s = state();
    auto dc = reinterpret_cast<HDC>(s.nextContext);
    s.nextContext += 4;
    tPaintContext context{window, nullptr};
    if (w->widget && s.routed == w->widget)
        context.painter = std::make_unique<QPainter>(w->widget.data());
    s.contexts.emplace(dc, std::move(context));
    w->needsPaint = false;

    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    if (w->widget)
        paint->rcPaint = RECT{0, 0, w->widget->width(), w->widget->height()};
    return dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (DWORD code = platform::enterCall("EndPaint")) {
        SetLastError(code);
        return FALSE;
    }
    if (!paint)
        return FALSE;
    state().contexts.erase(paint->hdc);
    return TRUE;
}

// Only paint messages are ever pending: input reaches the program through the widgets, after
// whatever keeps the program busy has returned. Before looking, the platform's own events
// (exposures, updates) are let through, input and timers are not.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (DWORD code = platform::enterCall("PeekMessageA")) {
        SetLastError(code);
        return FALSE;
    }
    if (!msg || !wantsPaint(filterMin, filterMax))
        return FALSE;
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::X11ExcludeTimers);
    for (tWindow* w : allWindows()) {
        if (!w->needsPaint || (window && w->handle != window))
            continue;
        if (!w->widget || !w->widget->isVisible()) {
            w->needsPaint = false;
            continue;
        }
        *msg = MSG{};
        msg->hwnd = w->handle;
        msg->message = WM_PAINT;
        if (remove & PM_REMOVE)
            w->needsPaint = false;
        return TRUE;
    }
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (DWORD code = platform::enterCall("DispatchMessageA")) {
        SetLastError(code);
        return 0;
    }
    if (!msg || msg->message != WM_PAINT)
        return 0;
    tWindow* w = windowOf(msg->hwnd);
    if (w && w->widget && w->widget->isVisible()) {
        w->needsPaint = false;
        // Painted and put on the screen now, not when the event loop next runs.
        w->widget->repaint();
    }
    return 0;
}

BOOL WINAPI UpdateWindow(HWND window) {
    if (DWORD code = platform::enterCall("UpdateWindow")) {
        SetLastError(code);
        return FALSE;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return FALSE;
    if (w->needsPaint && w->widget && w->widget->isVisible()) {
        w->needsPaint = false;
        w->widget->repaint();
    }
    return TRUE;
}
