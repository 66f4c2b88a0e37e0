// What a window is: whether it exists, its parent, styles, state and the keyboard focus.

#include "platform/linux/call_hook.h"
#include "platform/linux/qt_windows.h"

#include <QApplication>

using namespace platform::qt;

namespace {

constexpr int windowLongId = -12;         // GWL_ID
constexpr DWORD errorInvalidIndex = 1413; // ERROR_INVALID_INDEX

tWindow* desktopWindow() {
    static tWindow* desktop = createWindow(tKind::desktop);
    return desktop;
}

// Where the keyboard focus is: the focus widget of the active window, or before a dialog is
// active, the control it will give the focus to.
QWidget* focusedWidget() {
    if (!QCoreApplication::instance())
        return nullptr;
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    auto& modal = modalDialogs();
    if (!modal.empty() && modal.back()->widget)
        return modal.back()->widget->focusWidget();
    return nullptr;
}

} // namespace

BOOL WINAPI IsWindow(HWND window) {
    if (DWORD code = platform::enterCall("IsWindow")) {
        SetLastError(code);
        return FALSE;
    }
    return windowOf(window) != nullptr;
}

BOOL WINAPI IsIconic(HWND window) {
    if (DWORD code = platform::enterCall("IsIconic")) {
        SetLastError(code);
        return FALSE;
    }
    tWindow* w = windowOf(window);
    return w && w->kind == tKind::dialog && w->widget && w->widget->isMinimized();
}

HWND WINAPI GetParent(HWND window) {
    if (DWORD code = platform::enterCall("GetParent")) {
        SetLastError(code);
        return nullptr;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return nullptr;
    return w->parent ? w->parent->handle : w->owner;
}

HWND WINAPI GetDesktopWindow(void) {
    platform::enterCall("GetDesktopWindow");
    return desktopWindow()->handle;
}

HWND WINAPI GetFocus(void) {
    if (DWORD code = platform::enterCall("GetFocus")) {
        SetLastError(code);
        return nullptr;
    }
    tWindow* focused = windowOfWidget(focusedWidget());
    return focused ? focused->handle : nullptr;
}

HWND WINAPI SetFocus(HWND window) {
    if (DWORD code = platform::enterCall("SetFocus")) {
        SetLastError(code);
        return nullptr;
    }
    tWindow* target = nullptr;
    if (window && !(target = liveWindow(window)))
        return nullptr;
    tWindow* previous = windowOfWidget(focusedWidget());
    HWND previousHandle = previous ? previous->handle : nullptr;
    if (target && target->widget)
        target->widget->setFocus(Qt::OtherFocusReason);
    else if (!target) {
        if (QWidget* focus = focusedWidget())
            focus->clearFocus();
    }
    return previousHandle;
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    if (DWORD code = platform::enterCall("GetWindowLongA")) {
        SetLastError(code);
        return 0;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return 0;
    switch (index) {
    case GWL_STYLE: {
        DWORD style = w->style & ~(WS_VISIBLE | WS_DISABLED | WS_MINIMIZE);
        if (w->widget) {
            if (w->widget->isVisible())
                style |= WS_VISIBLE;
            if (!w->widget->isEnabled())
                style |= WS_DISABLED;
            if (w->kind == tKind::dialog && w->widget->isMinimized())
                style |= WS_MINIMIZE;
        }
        return static_cast<LONG>(style);
    }
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    case windowLongId:
        return w->id;
    default:
        SetLastError(errorInvalidIndex);
        return 0;
    }
}
