// Modal dialogs from the program's dialog templates, on Qt widgets.

#include "platform/linux/call_hook.h"
#include "platform/linux/dialog_template.h"
#include "platform/linux/qt_application.h"
#include "platform/linux/qt_controls.h"
#include "platform/linux/qt_dialog_widget.h"

#include <QEventLoop>

#include <memory>

using namespace platform::qt;

namespace {

constexpr DWORD errorControlIdNotFound = 1421;

HWND firstTabStop(const tWindow* dialog) {
    for (const tWindow* child : dialog->children)
        if ((child->style & WS_TABSTOP) && (child->style & WS_VISIBLE) &&
            !(child->style & WS_DISABLED))
            return child->handle;
    return nullptr;
}

// The dialog's widget, its controls in template order (which is the tab order) and its place.
tWindow* buildDialog(const platform::tDialogTemplate& dialogTemplate, HWND owner, DLGPROC proc) {
    tWindow* dialog = createWindow(tKind::dialog);
    dialog->style = dialogTemplate.style;
    dialog->exStyle = dialogTemplate.exStyle;
    dialog->text = dialogTemplate.title;
    dialog->owner = owner;
    dialog->proc = proc;
    for (const auto& item : dialogTemplate.items)
        if ((item.style & 0xF) == BS_DEFPUSHBUTTON && item.className == "Button") {
            dialog->defaultId = static_cast<short>(item.id);
            break;
        }

    tWindow* ownerWindow = windowOf(owner);
    QWidget* ownerWidget =
        ownerWindow && ownerWindow->widget ? ownerWindow->widget->window() : nullptr;
    auto* widget = new tDialogWidget(dialog->handle, ownerWidget);
    dialog->widget = widget;
    QFont font = (dialogTemplate.style & DS_SETFONT)
                     ? dialogFont(dialogTemplate.typeface, dialogTemplate.pointSize,
                                  dialogTemplate.weight, dialogTemplate.italic != 0)
                     : QApplication::font();
    widget->setFont(font);
    tBaseUnits units = baseUnits(font);
    QRect area = dialogUnitsToPixels(dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx,
                                     dialogTemplate.cy, units);
    widget->setFixedSize(area.size());
    // The template's place is relative to the owner's client area, or to the screen.
    QPoint origin = ownerWidget && !(dialogTemplate.style & DS_ABSALIGN)
                        ? ownerWidget->mapToGlobal(QPoint(0, 0))
                        : QPoint(0, 0);
    widget->move(origin + area.topLeft());
    showText(dialog);

    QWidget* previous = nullptr;
    for (const auto& item : dialogTemplate.items) {
        tWindow* control = createControl(dialog, item, units);
        widget->watchKeys(control->widget);
        if (control->widget->focusPolicy() != Qt::NoFocus) {
            if (previous)
                QWidget::setTabOrder(previous, control->widget);
            previous = control->widget;
        }
    }
    QObject::connect(qApp, &QApplication::focusChanged, widget,
                     [widget](QWidget*, QWidget* now) { widget->followFocus(now); });
    return dialog;
}

} // namespace

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    if (DWORD code = platform::enterCall("InitCommonControlsEx")) {
        SetLastError(code);
        return FALSE;
    }
    if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (init->dwICC & ICC_PROGRESS_CLASS)
        registerProgressClass();
    return TRUE;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam) {
    if (DWORD code = platform::enterCall("DialogBoxParamA")) {
        SetLastError(code);
        return -1;
    }
    if (owner && !liveWindow(owner))
        return 0;
    platform::tDialogTemplate dialogTemplate;
    if (!platform::loadDialogTemplate(instance, templateName, dialogTemplate))
        return -1;
    for (const auto& item : dialogTemplate.items) {
        tKind kind;
        if (!controlKind(item.className, kind) ||
            (kind == tKind::progress && !progressClassRegistered())) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return -1;
        }
    }

    application();
    tWindow* dialog = buildDialog(dialogTemplate, owner, dialogProc);
    HWND handle = dialog->handle;
    std::unique_ptr<QWidget> widget(dialog->widget.data());
    modalDialogs().push_back(dialog);

    HWND focus = firstTabStop(dialog);
    if (dialogProc(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam) && focus)
        SetFocus(focus);
    if (!dialog->ended) {
        // Modal: the other windows take no input while the dialog runs.
        widget->setWindowModality(Qt::ApplicationModal);
        widget->show();
        widget->activateWindow();
        QEventLoop loop;
        dialog->modalLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        dialog->modalLoop = nullptr;
    }

    INT_PTR result = dialog->result;
    std::erase(modalDialogs(), dialog);
    widget->hide();
    dialogProc(handle, WM_DESTROY, 0, 0);
    destroyWindow(dialog);
    return result;
}

BOOL WINAPI EndDialog(HWND window, INT_PTR result) {
    if (DWORD code = platform::enterCall("EndDialog")) {
        SetLastError(code);
        return FALSE;
    }
    tWindow* dialog = liveWindow(window);
    if (!dialog || dialog->kind != tKind::dialog)
        return FALSE;
    dialog->ended = true;
    dialog->result = result;
    // The dialog disappears at once; its window goes when its modal loop has returned.
    if (dialog->widget)
        dialog->widget->hide();
    if (dialog->modalLoop)
        dialog->modalLoop->exit(0);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialogWindow, int id) {
    if (DWORD code = platform::enterCall("GetDlgItem")) {
        SetLastError(code);
        return nullptr;
    }
    tWindow* dialog = liveWindow(dialogWindow);
    if (!dialog)
        return nullptr;
    for (tWindow* child : dialog->children)
        if (child->id == id)
            return child->handle;
    SetLastError(errorControlIdNotFound);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND window) {
    if (DWORD code = platform::enterCall("GetDlgCtrlID")) {
        SetLastError(code);
        return 0;
    }
    tWindow* w = liveWindow(window);
    return w ? w->id : 0;
}
