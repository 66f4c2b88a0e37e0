#include "platform/linux/qt_dialog_widget.h"

#include "platform/linux/qt_icons.h"
#include "platform/linux/qt_paint.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace platform::qt {

namespace {

tDialogShownHook shownHook = nullptr;

bool isPushButton(const tWindow* window) {
    DWORD type = window->style & 0xF;
    return window->kind == tKind::button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

tWindow* childWithId(tWindow* dialog, int id) {
    for (tWindow* child : dialog->children)
        if (child->id == id)
            return child;
    return nullptr;
}

// What DefDlgProc does with what the dialog procedure left alone.
LRESULT defaultProcessing(tWindow* dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            deliverToDialog(dialog, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            if (dialog->widget)
                dialog->widget->showMinimized();
            break;
        case SC_RESTORE:
            if (dialog->widget)
                dialog->widget->showNormal();
            break;
        }
        return 0;
    case WM_CLOSE: {
        // As if Cancel was pressed, unless the dialog's Cancel button is disabled.
        tWindow* cancel = childWithId(dialog, IDCANCEL);
        if (cancel && cancel->widget && !cancel->widget->isEnabled())
            return 0;
        sendCommand(dialog, IDCANCEL, BN_CLICKED);
        return 0;
    }
    case WM_ICONERASEBKGND: {
        bool known = false;
        QPainter* painter = painterOf(reinterpret_cast<HDC>(wParam), known);
        if (painter && dialog->widget)
            painter->fillRect(dialog->widget->rect(), dialog->widget->palette().window());
        return known ? TRUE : FALSE;
    }
    default:
        (void)lParam;
        return 0;
    }
}

} // namespace

LRESULT deliverToDialog(tWindow* dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND handle = dialog->handle;
    INT_PTR answer = dialog->proc ? dialog->proc(handle, message, wParam, lParam) : FALSE;
    // The procedure may have ended the dialog; its window lives until DialogBoxParamA returns.
    tWindow* still = windowOf(handle);
    if (!still)
        return answer;
    if (message == WM_QUERYDRAGICON)
        return answer ? answer : defaultProcessing(still, message, wParam, lParam);
    if (answer)
        return TRUE;
    return defaultProcessing(still, message, wParam, lParam);
}

void sendCommand(tWindow* dialog, int id, WORD code) {
    tWindow* control = childWithId(dialog, id);
    deliverToDialog(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                    reinterpret_cast<LPARAM>(control ? control->handle : nullptr));
}

void setDialogShownHook(tDialogShownHook hook) {
    shownHook = hook;
}

tDialogWidget::tDialogWidget(HWND dialogHandle, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      handle(dialogHandle) {}

void tDialogWidget::watchKeys(QWidget* control) {
    control->installEventFilter(this);
}

void tDialogWidget::followFocus(QWidget* focus) {
    tWindow* dialog = windowOf(handle);
    tWindow* focused = windowOfWidget(focus);
    if (!dialog || !focused || focused->parent != dialog)
        return;
    bool buttonFocused = isPushButton(focused);
    for (tWindow* child : dialog->children) {
        auto* button = qobject_cast<QPushButton*>(child->widget.data());
        if (!button || !isPushButton(child))
            continue;
        button->setDefault(buttonFocused ? child == focused : child->id == dialog->defaultId);
    }
}

bool tDialogWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleDialogKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

void tDialogWidget::keyPressEvent(QKeyEvent* event) {
    if (!handleDialogKey(event->key()))
        QWidget::keyPressEvent(event);
}

bool tDialogWidget::handleDialogKey(int key) {
    tWindow* dialog = windowOf(handle);
    if (!dialog)
        return false;
    switch (key) {
    case Qt::Key_Escape:
        sendCommand(dialog, IDCANCEL, BN_CLICKED);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // The focused push button, else the default one.
        int id = dialog->defaultId;
        tWindow* focused = windowOfWidget(focusWidget());
        if (focused && focused->parent == dialog && isPushButton(focused))
            id = focused->id;
        tWindow* button = childWithId(dialog, id);
        if (button && button->widget && !button->widget->isEnabled())
            return true;
        sendCommand(dialog, id, BN_CLICKED);
        return true;
    }
    default:
        return false;
    }
}

void tDialogWidget::paintEvent(QPaintEvent*) {
    // The background is Qt's; the procedure paints over it, or leaves the default as it is.
    if (tWindow* dialog = windowOf(handle)) {
        dialog->needsPaint = false;
        tRoutedPaint routed(this);
        deliverToDialog(dialog, WM_PAINT, 0, 0);
    }
    if (!shownOnce) {
        shownOnce = true;
        if (shownHook)
            shownHook(this);
    }
}

void tDialogWidget::closeEvent(QCloseEvent* event) {
    // The title bar's close is the system menu's Close: the procedure decides.
    event->ignore();
    if (tWindow* dialog = windowOf(handle))
        deliverToDialog(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void tDialogWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return;
    // What stands for the minimised dialog: the icon its procedure names, else the program's.
    tWindow* dialog = windowOf(handle);
    if (!dialog)
        return;
    auto icon = reinterpret_cast<HICON>(deliverToDialog(dialog, WM_QUERYDRAGICON, 0, 0));
    QIcon shown;
    if (icon && iconOf(icon, shown))
        setWindowIcon(shown);
}

} // namespace platform::qt
