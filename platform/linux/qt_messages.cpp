// SendMessageA and the window texts on the Qt desktop.

#include "platform/linux/call_hook.h"
#include "platform/linux/qt_controls.h"
#include "platform/linux/qt_dialog_widget.h"

#include <QComboBox>

#include <algorithm>
#include <cstring>

using namespace platform::qt;

namespace {

// A drop-down list's text is its selection's.
const std::string& textOf(const tWindow* window) {
    if (window->kind == tKind::combo) {
        auto* combo = qobject_cast<QComboBox*>(window->widget.data());
        int selected = combo ? combo->currentIndex() : -1;
        if (selected >= 0 && selected < static_cast<int>(window->items.size()))
            return window->items[static_cast<std::size_t>(selected)];
    }
    return window->text;
}

} // namespace

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (DWORD code = platform::enterCall("SendMessageA")) {
        SetLastError(code);
        return 0;
    }
    tWindow* target = liveWindow(window);
    if (!target)
        return 0;
    switch (message) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        target->text = text ? text : "";
        showText(target);
        target->needsPaint = true;
        return TRUE;
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(textOf(target).size());
    case WM_GETTEXT: {
        auto size = static_cast<std::size_t>(wParam);
        if (size == 0 || !lParam)
            return 0;
        const std::string& text = textOf(target);
        std::size_t copied = std::min(size - 1, text.size());
        memcpy(reinterpret_cast<char*>(lParam), text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    }
    switch (target->kind) {
    case tKind::dialog:
        return deliverToDialog(target, message, wParam, lParam);
    case tKind::combo:
        return comboMessage(target, message, wParam, lParam);
    case tKind::progress:
        return progressMessage(target, message, wParam, lParam);
    default:
        return 0;
    }
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (DWORD code = platform::enterCall("SetWindowTextA")) {
        SetLastError(code);
        return FALSE;
    }
    if (!liveWindow(window))
        return FALSE;
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    if (DWORD code = platform::enterCall("GetWindowTextA")) {
        SetLastError(code);
        return 0;
    }
    if (!liveWindow(window) || maxCount <= 0 || !text)
        return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
    if (DWORD code = platform::enterCall("GetWindowTextLengthA")) {
        SetLastError(code);
        return 0;
    }
    if (!liveWindow(window))
        return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}
