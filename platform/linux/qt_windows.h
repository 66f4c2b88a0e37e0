#pragma once

// The windows of the Qt desktop: every HWND the program sees stands for one record here, which
// holds the Win32 state (class, styles, id, text) and the widget that shows it.

#include "platform/linux/progress_state.h"
#include "platform/win32_api.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QEventLoop;

namespace platform::qt {

enum class tKind { dialog, button, combo, staticText, progress, desktop };

struct tWindow {
    HWND handle = nullptr;
    tKind kind = tKind::dialog;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::string text; // the bytes the program set, returned unchanged
    QPointer<QWidget> widget;
    tWindow* parent = nullptr; // the dialog of a control
    HWND owner = nullptr;      // the owner of a dialog
    std::vector<tWindow*> children;
    // Set by whatever the program changes through messages; reported by PeekMessageA as a
    // pending WM_PAINT until the window is painted.
    bool needsPaint = false;

    // Dialog.
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    QEventLoop* modalLoop = nullptr;
    int defaultId = IDOK; // the template's default push button

    // Combo box: the items' bytes, in the control's order.
    std::vector<std::string> items;

    // Progress bar.
    tProgressState progress;
};

// A new window of `kind` with a fresh handle, kept until destroyWindow.
tWindow* createWindow(tKind kind);
// Forgets the window and its children; their widgets are left to their owner.
void destroyWindow(tWindow* window);

// The window behind `handle`, or null.
tWindow* windowOf(HWND handle);
// The same, setting ERROR_INVALID_WINDOW_HANDLE when there is none.
tWindow* liveWindow(HWND handle);
// The window that `widget` or its nearest registered ancestor shows, or null.
tWindow* windowOfWidget(const QWidget* widget);

// The dialogs running modally, innermost last.
std::vector<tWindow*>& modalDialogs();

// Every window, in the order of creation.
std::vector<tWindow*> allWindows();

} // namespace platform::qt
