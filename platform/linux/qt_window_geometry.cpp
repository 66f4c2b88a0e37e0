// Where windows stand: client and window rectangles, moving them, the screen and work area.

#include "platform/linux/call_hook.h"
#include "platform/linux/qt_application.h"
#include "platform/linux/qt_windows.h"

#include <QScreen>

using namespace platform::qt;

namespace {

// Icons are drawn at the size the desktop gives them at 96 dots per inch.
constexpr int iconSize = 32;

RECT toRect(const QRect& r) {
    return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect screenArea(bool available) {
    QScreen* screen = application().primaryScreen();
    if (!screen)
        return QRect(0, 0, 0, 0);
    return available ? screen->availableGeometry() : screen->geometry();
}

} // namespace

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    if (DWORD code = platform::enterCall("GetClientRect")) {
        SetLastError(code);
        return FALSE;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (w->kind == tKind::desktop) {
        QRect screen = screenArea(false);
        *rect = RECT{0, 0, screen.width(), screen.height()};
    } else {
        *rect = w->widget ? RECT{0, 0, w->widget->width(), w->widget->height()} : RECT{};
    }
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    if (DWORD code = platform::enterCall("GetWindowRect")) {
        SetLastError(code);
        return FALSE;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (w->kind == tKind::desktop)
        *rect = toRect(screenArea(false));
    else if (!w->widget)
        *rect = RECT{};
    else if (w->widget->isWindow())
        // The frame as well; before the window is first shown Qt knows no frame yet.
        *rect = toRect(w->widget->frameGeometry());
    else
        *rect = toRect(QRect(w->widget->mapToGlobal(QPoint(0, 0)), w->widget->size()));
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    if (DWORD code = platform::enterCall("SetWindowPos")) {
        SetLastError(code);
        return FALSE;
    }
    tWindow* w = liveWindow(window);
    if (!w)
        return FALSE;
    QWidget* widget = w->widget;
    if (!widget || w->kind == tKind::desktop)
        return TRUE;
    if (!(flags & SWP_NOSIZE)) {
        // The size given is the whole window's; a widget's size is its client area's.
        QSize frame =
            widget->isWindow() ? widget->frameGeometry().size() - widget->size() : QSize(0, 0);
        QSize client(cx - frame.width(), cy - frame.height());
        if (widget->isWindow() && widget->minimumSize() == widget->maximumSize())
            widget->setFixedSize(client);
        else
            widget->resize(client);
    }
    // A window's position is its frame's, as move() takes it.
    if (!(flags & SWP_NOMOVE))
        widget->move(x, y);
    return TRUE;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT, PVOID data, UINT) {
    if (DWORD code = platform::enterCall("SystemParametersInfoA")) {
        SetLastError(code);
        return FALSE;
    }
    if (action != SPI_GETWORKAREA || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *static_cast<RECT*>(data) = toRect(screenArea(true));
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    if (DWORD code = platform::enterCall("GetSystemMetrics")) {
        SetLastError(code);
        return 0;
    }
    switch (index) {
    case SM_CXSCREEN:
        return screenArea(false).width();
    case SM_CYSCREEN:
        return screenArea(false).height();
    case SM_CXICON:
    case SM_CYICON:
        return iconSize;
    default:
        return 0;
    }
}
