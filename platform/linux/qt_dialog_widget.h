#pragma once

// The top-level widget of a dialog: it turns the keys a dialog handles itself (Enter, Escape),
// the title bar's close and the widget's painting into the messages a dialog procedure gets.

#include "platform/linux/qt_windows.h"

#include <QWidget>

namespace platform::qt {

// Sends `message` to the dialog's procedure; what the procedure leaves (FALSE) gets the
// default processing of a dialog.
LRESULT deliverToDialog(tWindow* dialog, UINT message, WPARAM wParam, LPARAM lParam);

// WM_COMMAND from control `id` of the dialog with notification `code`, the control's handle
// (or null when the dialog has no such control) as lParam.
void sendCommand(tWindow* dialog, int id, WORD code);

class tDialogWidget : public QWidget {
public:
    tDialogWidget(HWND handle, QWidget* owner);

    // Lets the dialog see the keys pressed in `control` before the control does.
    void watchKeys(QWidget* control);
    // Makes the control that has the focus the default push button, if it is one, and the
    // template's default button otherwise, as the desktop's dialogs do.
    void followFocus(QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool handleDialogKey(int key);

    HWND handle;
    bool shownOnce = false;
};

// Called after a dialog has been painted for the first time; benchmarks hook in here.
using tDialogShownHook = void (*)(QWidget* dialog);
void setDialogShownHook(tDialogShownHook hook);

} // namespace platform::qt
