// Message boxes as QMessageBox, with the buttons, default and Escape of the desktop's boxes.

#include "platform/linux/call_hook.h"
#include "platform/linux/qt_application.h"
#include "platform/linux/qt_windows.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

using namespace platform::qt;

namespace {

constexpr DWORD errorInvalidMessageBoxStyle = 1438; // ERROR_INVALID_MSGBOX_STYLE

using tButton = std::pair<QMessageBox::StandardButton, int>;

struct tButtonSet {
    std::vector<tButton> buttons;
    int escape; // the answer Escape and the title bar's close give; 0 when they do nothing
};

bool buttonSet(UINT type, tButtonSet& set) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        set = {{{QMessageBox::Ok, IDOK}}, IDOK};
        return true;
    case MB_OKCANCEL:
        set = {{{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}, IDCANCEL};
        return true;
    case MB_ABORTRETRYIGNORE:
        set = {{{QMessageBox::Abort, IDABORT},
                {QMessageBox::Retry, IDRETRY},
                {QMessageBox::Ignore, IDIGNORE}},
               0};
        return true;
    case MB_YESNOCANCEL:
        set = {
            {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}},
            IDCANCEL};
        return true;
    case MB_YESNO:
        set = {{{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}, 0};
        return true;
    case MB_RETRYCANCEL:
        set = {{{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}, IDCANCEL};
        return true;
    default:
        return false;
    }
}

QMessageBox::Icon iconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// A box without Cancel cannot be dismissed with Escape or the title bar's close.
class tNoEscape : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (DWORD code = platform::enterCall("MessageBoxA")) {
        SetLastError(code);
        return 0;
    }
    tWindow* ownerWindow = nullptr;
    if (owner && !(ownerWindow = liveWindow(owner)))
        return 0;
    tButtonSet set;
    if (!buttonSet(type, set)) {
        SetLastError(errorInvalidMessageBoxStyle);
        return 0;
    }

    application();
    QWidget* parent = ownerWindow && ownerWindow->widget ? ownerWindow->widget->window() : nullptr;
    QMessageBox box(iconOf(type), QString::fromUtf8(caption ? caption : "Error"),
                    QString::fromUtf8(text ? text : ""), QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> pushButtons;
    for (const auto& [button, answer] : set.buttons)
        pushButtons.push_back(box.addButton(button));
    std::size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    box.setDefaultButton(pushButtons[defaultIndex < pushButtons.size() ? defaultIndex : 0]);
    tNoEscape noEscape;
    for (std::size_t i = 0; i < set.buttons.size(); ++i)
        if (set.buttons[i].second == set.escape)
            box.setEscapeButton(pushButtons[i]);
    if (!set.escape)
        box.installEventFilter(&noEscape);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();

    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < pushButtons.size(); ++i)
        if (clicked == pushButtons[i])
            return set.buttons[i].second;
    return set.escape ? set.escape : set.buttons.front().second;
}
