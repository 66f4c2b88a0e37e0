// user32 and comctl32 without a screen. Dialogs come from the compiled templates, controls keep
// the state the real ones keep, and the user is a script (see headless_user32.h).

#include "platform/simulated/headless_user32.h"

#include "platform/linux/call_hook.h"
#include "platform/linux/dialog_template.h"
#include "platform/linux/progress_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <strings.h>

namespace headless {

namespace {

// Dialog base units of the template font ("MS Shell Dlg", 8 points) at 96 dots per inch.
constexpr int baseUnitX = 6;
constexpr int baseUnitY = 13;
// The frame a captioned modal dialog adds around its client area.
constexpr int frameWidth = 3;
constexpr int captionHeight = 22;

constexpr DWORD errorControlIdNotFound = 1421;

enum class tKind { dialog, button, combo, staticText, progress, other };

struct tWindow {
    HWND handle = nullptr;
    tKind kind = tKind::other;
    std::string className;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::string text;
    RECT rect{}; // screen coordinates for dialogs, the parent's client coordinates for controls
    tWindow* parent = nullptr;
    HWND owner = nullptr;
    std::vector<tWindow*> children;
    bool visible = false;
    bool shown = false;
    RECT shownAt{};
    int paints = 0;
    bool needsPaint = false;
    std::vector<std::string> texts;
    std::vector<int> positions;

    // Dialog.
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    bool minimised = false;
    SIZE_T minimisedWidth = 0, minimisedHeight = 0;
    RECT clientSize{};

    // Combo box.
    std::vector<std::string> items;
    int selection = CB_ERR;

    // Progress bar.
    platform::tProgressState progress;
};

struct tDesktop {
    std::map<HWND, std::unique_ptr<tWindow>> windows;
    ULONG_PTR nextHandle = 0x10000;
    HWND focus = nullptr;
    std::vector<tWindow*> modal; // innermost last
    int dialogsCreated = 0;
    bool progressClassRegistered = false;

    std::deque<std::function<void()>> actions;
    std::deque<std::function<int(const tMessageBoxRecord&)>> answers;
    std::vector<tMessageBoxRecord> boxes;
    std::vector<tSentMessage> sent;
    std::vector<tIconDraw> draws;
    std::map<int, int> metrics;
    std::map<HDC, HWND> paintContexts;
    std::function<void(const std::string&)> failure;
};

tDesktop& desktop() {
    static tDesktop* instance = new tDesktop;
    return *instance;
}

void fail(const std::string& message) {
    if (desktop().failure) {
        desktop().failure(message);
        return;
    }
    fprintf(stderr, "headless user32: %s\n", message.c_str());
    abort();
}

tWindow* windowOf(HWND handle) {
    auto found = desktop().windows.find(handle);
    return found == desktop().windows.end() ? nullptr : found->second.get();
}

tWindow* liveWindow(HWND handle) {
    tWindow* window = windowOf(handle);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

tWindow* createWindow(tKind kind) {
    tDesktop& d = desktop();
    auto window = std::make_unique<tWindow>();
    window->handle = reinterpret_cast<HWND>(d.nextHandle);
    d.nextHandle += 4;
    window->kind = kind;
    tWindow* raw = window.get();
    d.windows.emplace(raw->handle, std::move(window));
    return raw;
}

void destroyWindow(tWindow* window) {
    tDesktop& d = desktop();
    for (tWindow* child : window->children)
        destroyWindow(child);
    if (d.focus == window->handle)
        d.focus = nullptr;
    d.windows.erase(window->handle);
}

tKind kindOfClass(const std::string& className) {
    if (strcasecmp(className.c_str(), "Button") == 0)
        return tKind::button;
    if (strcasecmp(className.c_str(), "ComboBox") == 0)
        return tKind::combo;
    if (strcasecmp(className.c_str(), "Static") == 0)
        return tKind::staticText;
    if (strcasecmp(className.c_str(), PROGRESS_CLASSA) == 0)
        return tKind::progress;
    return tKind::other;
}

bool isPushButton(const tWindow* window) {
    DWORD type = window->style & 0xF;
    return window->kind == tKind::button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// number * numerator / denominator rounded half away from zero, as MulDiv does.
int mulDiv(int number, int numerator, int denominator) {
    long long product = static_cast<long long>(number) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

RECT dialogUnitsToPixels(short x, short y, short cx, short cy) {
    RECT rect;
    rect.left = mulDiv(x, baseUnitX, 4);
    rect.top = mulDiv(y, baseUnitY, 8);
    rect.right = rect.left + mulDiv(cx, baseUnitX, 4);
    rect.bottom = rect.top + mulDiv(cy, baseUnitY, 8);
    return rect;
}

int metric(int index) {
    auto found = desktop().metrics.find(index);
    if (found != desktop().metrics.end())
        return found->second;
    switch (index) {
    case SM_CXSCREEN:
        return 1024;
    case SM_CYSCREEN:
        return 768;
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

// What DefDlgProc does with what the dialog procedure left alone.
LRESULT defaultDialogProcessing(tWindow* dialog, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT deliverToDialog(tWindow* dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR answer = dialog->proc ? dialog->proc(dialog->handle, message, wParam, lParam) : FALSE;
    if (message == WM_QUERYDRAGICON)
        return answer ? answer : defaultDialogProcessing(dialog, message, wParam, lParam);
    if (answer)
        return TRUE;
    // The procedure may have ended and destroyed nothing yet; the window still exists here.
    if (!windowOf(dialog->handle))
        return 0;
    return defaultDialogProcessing(dialog, message, wParam, lParam);
}

void paint(tWindow* window) {
    window->needsPaint = false;
    ++window->paints;
    if (window->kind == tKind::dialog)
        deliverToDialog(window, WM_PAINT, 0, 0);
}

LRESULT defaultDialogProcessing(tWindow* dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            deliverToDialog(dialog, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            dialog->minimised = true;
            paint(dialog);
            break;
        case SC_RESTORE:
            dialog->minimised = false;
            paint(dialog);
            break;
        }
        return 0;
    case WM_CLOSE: {
        // The Close of the system menu or the caption: IDCANCEL, as if Escape was pressed.
        HWND cancel = GetDlgItem(dialog->handle, IDCANCEL);
        deliverToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT comboMessage(tWindow* combo, UINT message, WPARAM wParam, LPARAM lParam) {
    auto count = static_cast<int>(combo->items.size());
    auto index = static_cast<int>(wParam);
    switch (message) {
    case CB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
        return combo->selection;
    case CB_SETCURSEL:
        if (index < 0 || index >= count) {
            combo->selection = CB_ERR;
            return CB_ERR;
        }
        combo->selection = index;
        combo->needsPaint = true;
        return index;
    case CB_ADDSTRING: {
        std::string text = reinterpret_cast<const char*>(lParam);
        auto at = combo->items.end();
        if (combo->style & CBS_SORT)
            at = std::upper_bound(combo->items.begin(), combo->items.end(), text,
                                  [](const std::string& a, const std::string& b) {
                                      return strcasecmp(a.c_str(), b.c_str()) < 0;
                                  });
        auto inserted = combo->items.insert(at, text);
        return inserted - combo->items.begin();
    }
    case CB_INSERTSTRING: {
        if (index == -1)
            index = count;
        if (index < 0 || index > count)
            return CB_ERR;
        combo->items.insert(combo->items.begin() + index, reinterpret_cast<const char*>(lParam));
        if (combo->selection >= index)
            ++combo->selection;
        return index;
    }
    case CB_DELETESTRING:
        if (index < 0 || index >= count)
            return CB_ERR;
        combo->items.erase(combo->items.begin() + index);
        if (combo->selection == index)
            combo->selection = CB_ERR;
        else if (combo->selection > index)
            --combo->selection;
        return count - 1;
    case CB_RESETCONTENT:
        combo->items.clear();
        combo->selection = CB_ERR;
        return 0;
    case CB_GETLBTEXTLEN:
        if (index < 0 || index >= count)
            return CB_ERR;
        return static_cast<LRESULT>(combo->items[index].size());
    case CB_GETLBTEXT:
        if (index < 0 || index >= count)
            return CB_ERR;
        memcpy(reinterpret_cast<char*>(lParam), combo->items[index].c_str(),
               combo->items[index].size() + 1);
        return static_cast<LRESULT>(combo->items[index].size());
    case CB_SHOWDROPDOWN:
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return FALSE;
    default:
        return 0;
    }
}

tWindow* createControl(tWindow* dialog, const platform::tDialogItemTemplate& item) {
    tWindow* control = createWindow(kindOfClass(item.className));
    control->className = item.className;
    control->style = item.style;
    control->exStyle = item.exStyle;
    control->id = static_cast<int>(static_cast<short>(item.id));
    control->text = item.text;
    control->rect = dialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
    control->parent = dialog;
    control->visible = (item.style & WS_VISIBLE) != 0;
    dialog->children.push_back(control);
    return control;
}

HWND firstTabStop(const tWindow* dialog) {
    for (const tWindow* child : dialog->children)
        if ((child->style & WS_TABSTOP) && child->visible && !(child->style & WS_DISABLED))
            return child->handle;
    return nullptr;
}

void runModalLoop(tWindow* dialog) {
    tDesktop& d = desktop();
    while (!dialog->ended) {
        if (d.actions.empty()) {
            fail("the dialog \"" + dialog->text + "\" waits for input that the test did not give");
            dialog->ended = true;
            dialog->result = -1;
            break;
        }
        std::function<void()> action = std::move(d.actions.front());
        d.actions.pop_front();
        action();
    }
}

void sendCommand(tWindow* dialog, int id, HWND from) {
    deliverToDialog(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(from));
}

tWindow* requireActiveDialog(const char* action) {
    tWindow* dialog = desktop().modal.empty() ? nullptr : desktop().modal.back();
    if (!dialog)
        fail(std::string(action) + ": no dialog is running");
    return dialog;
}

} // namespace

void reset() {
    tDesktop& d = desktop();
    auto handler = d.failure;
    auto registered = d.progressClassRegistered;
    d.windows.clear();
    d = tDesktop{};
    d.failure = handler;
    d.progressClassRegistered = registered;
}

void setFailureHandler(std::function<void(const std::string&)> handler) {
    desktop().failure = std::move(handler);
}

void answerMessageBox(int button) {
    desktop().answers.push_back([button](const tMessageBoxRecord&) { return button; });
}

void answerMessageBox(std::function<int(const tMessageBoxRecord&)> answer) {
    desktop().answers.push_back(std::move(answer));
}

const std::vector<tMessageBoxRecord>& messageBoxes() {
    return desktop().boxes;
}

void queueAction(std::function<void()> action) {
    desktop().actions.push_back(std::move(action));
}

void clickButton(int id) {
    queueAction([id] {
        tWindow* dialog = requireActiveDialog("click");
        if (!dialog)
            return;
        HWND button = GetDlgItem(dialog->handle, id);
        if (!button) {
            fail("click: the dialog has no button " + std::to_string(id));
            return;
        }
        desktop().focus = button;
        sendCommand(dialog, id, button);
    });
}

void pressKey(int virtualKey) {
    queueAction([virtualKey] {
        tWindow* dialog = requireActiveDialog("key");
        if (!dialog)
            return;
        if (virtualKey == VK_ESCAPE) {
            sendCommand(dialog, IDCANCEL, GetDlgItem(dialog->handle, IDCANCEL));
            return;
        }
        if (virtualKey == VK_RETURN) {
            // A focused push button takes Enter; otherwise the default push button does.
            tWindow* focused = windowOf(desktop().focus);
            if (focused && focused->parent == dialog && isPushButton(focused)) {
                sendCommand(dialog, focused->id, focused->handle);
                return;
            }
            for (tWindow* child : dialog->children)
                if (child->kind == tKind::button && (child->style & 0xF) == BS_DEFPUSHBUTTON) {
                    sendCommand(dialog, child->id, child->handle);
                    return;
                }
            sendCommand(dialog, IDOK, nullptr);
            return;
        }
        fail("key: only Enter and Escape are scripted");
    });
}

void selectComboItem(int id, int index) {
    queueAction([id, index] {
        tWindow* dialog = requireActiveDialog("select");
        if (!dialog)
            return;
        tWindow* combo = windowOf(GetDlgItem(dialog->handle, id));
        if (!combo || combo->kind != tKind::combo || index < 0 ||
            index >= static_cast<int>(combo->items.size())) {
            fail("select: no such combo box item");
            return;
        }
        desktop().focus = combo->handle;
        combo->selection = index;
        combo->needsPaint = true;
        deliverToDialog(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo->handle));
    });
}

void systemCommand(UINT command) {
    queueAction([command] {
        if (tWindow* dialog = requireActiveDialog("system command"))
            deliverToDialog(dialog, WM_SYSCOMMAND, command, 0);
    });
}

void minimise(int clientWidth, int clientHeight) {
    queueAction([clientWidth, clientHeight] {
        tWindow* dialog = requireActiveDialog("minimise");
        if (!dialog)
            return;
        dialog->minimised = true;
        dialog->minimisedWidth = static_cast<SIZE_T>(clientWidth);
        dialog->minimisedHeight = static_cast<SIZE_T>(clientHeight);
        paint(dialog);
    });
}

void inspect(std::function<void(HWND dialog)> check) {
    queueAction([check = std::move(check)] {
        if (tWindow* dialog = requireActiveDialog("inspect"))
            check(dialog->handle);
    });
}

HWND activeDialog() {
    return desktop().modal.empty() ? nullptr : desktop().modal.back()->handle;
}

int dialogsCreated() {
    return desktop().dialogsCreated;
}

std::string windowText(HWND window) {
    tWindow* w = windowOf(window);
    return w ? w->text : std::string();
}

std::vector<std::string> comboItems(HWND combo) {
    tWindow* w = windowOf(combo);
    return w ? w->items : std::vector<std::string>();
}

int comboSelection(HWND combo) {
    tWindow* w = windowOf(combo);
    return w ? w->selection : CB_ERR;
}

tProgressState progressState(HWND progress) {
    tWindow* w = windowOf(progress);
    return w ? tProgressState{w->progress.lower, w->progress.upper, w->progress.position,
                              w->progress.step}
             : tProgressState{};
}

RECT shownRect(HWND window) {
    tWindow* w = windowOf(window);
    return w ? w->shownAt : RECT{};
}

int paintCount(HWND window) {
    tWindow* w = windowOf(window);
    return w ? w->paints : 0;
}

std::vector<std::string> textHistory(HWND window) {
    tWindow* w = windowOf(window);
    return w ? w->texts : std::vector<std::string>();
}

std::vector<int> positionHistory(HWND progress) {
    tWindow* w = windowOf(progress);
    return w ? w->positions : std::vector<int>();
}

const std::vector<tSentMessage>& sentMessages() {
    return desktop().sent;
}

const std::vector<tIconDraw>& iconDraws() {
    return desktop().draws;
}

RECT workArea() {
    return RECT{0, 0, metric(SM_CXSCREEN), metric(SM_CYSCREEN) - 40};
}

void setSystemMetric(int index, int value) {
    desktop().metrics[index] = value;
}

} // namespace headless

using namespace headless;

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
        desktop().progressClassRegistered = true;
    return TRUE;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                               DLGPROC dialogProc, LPARAM initParam) {
    if (DWORD code = platform::enterCall("DialogBoxParamA")) {
        SetLastError(code);
        return -1;
    }
    platform::tDialogTemplate dialogTemplate;
    if (!platform::loadDialogTemplate(instance, templateName, dialogTemplate))
        return -1;
    for (const auto& item : dialogTemplate.items)
        if (kindOfClass(item.className) == tKind::progress && !desktop().progressClassRegistered) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return -1;
        }

    tWindow* dialog = createWindow(tKind::dialog);
    dialog->className = "#32770";
    dialog->style = dialogTemplate.style & ~WS_VISIBLE;
    dialog->exStyle = dialogTemplate.exStyle;
    dialog->text = dialogTemplate.title;
    dialog->owner = parent;
    dialog->proc = dialogProc;
    RECT client = dialogUnitsToPixels(dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx,
                                      dialogTemplate.cy);
    dialog->clientSize = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    RECT origin{0, 0, 0, 0};
    if (parent)
        GetWindowRect(parent, &origin);
    dialog->rect.left = origin.left + client.left;
    dialog->rect.top = origin.top + client.top;
    dialog->rect.right = dialog->rect.left + dialog->clientSize.right + 2 * frameWidth;
    dialog->rect.bottom =
        dialog->rect.top + dialog->clientSize.bottom + captionHeight + 2 * frameWidth;
    for (const auto& item : dialogTemplate.items)
        createControl(dialog, item);
    ++desktop().dialogsCreated;
    desktop().modal.push_back(dialog);

    HWND focus = firstTabStop(dialog);
    if (dialogProc(dialog->handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam))
        desktop().focus = focus;
    if (!dialog->ended && (dialogTemplate.style & WS_VISIBLE)) {
        dialog->visible = true;
        dialog->shown = true;
        dialog->shownAt = dialog->rect;
        paint(dialog);
    }

    runModalLoop(dialog);

    INT_PTR result = dialog->result;
    desktop().modal.pop_back();
    dialogProc(dialog->handle, WM_DESTROY, 0, 0);
    destroyWindow(dialog);
    return result;
}

BOOL WINAPI EndDialog(HWND window, INT_PTR result) {
    tWindow* dialog = liveWindow(window);
    if (!dialog || dialog->kind != tKind::dialog)
        return FALSE;
    dialog->ended = true;
    dialog->result = result;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialogWindow, int id) {
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
    tWindow* w = liveWindow(window);
    return w ? w->id : 0;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (DWORD code = platform::enterCall("MessageBoxA")) {
        SetLastError(code);
        return 0;
    }
    tDesktop& d = desktop();
    tMessageBoxRecord box{owner, text ? text : "", caption ? caption : "Error", type, 0};
    if (d.answers.empty()) {
        d.boxes.push_back(box);
        fail("a message box that the test did not answer: \"" + box.text + "\"");
        return 0;
    }
    auto answer = std::move(d.answers.front());
    d.answers.pop_front();
    box.answer = answer(box);
    bool valid = false;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        valid = box.answer == IDOK;
        break;
    case MB_OKCANCEL:
        valid = box.answer == IDOK || box.answer == IDCANCEL;
        break;
    case MB_YESNO:
        valid = box.answer == IDYES || box.answer == IDNO;
        break;
    default:
        valid = box.answer > 0;
    }
    d.boxes.push_back(box);
    if (!valid)
        fail("the answer " + std::to_string(box.answer) + " is not a button of the box \"" +
             box.text + "\"");
    return box.answer;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    tWindow* target = liveWindow(window);
    desktop().sent.push_back({window, message, wParam, lParam});
    if (!target)
        return 0;
    switch (message) {
    case WM_SETTEXT:
        target->text = reinterpret_cast<const char*>(lParam);
        target->texts.push_back(target->text);
        target->needsPaint = true;
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(target->text.size());
    case WM_GETTEXT: {
        auto size = static_cast<std::size_t>(wParam);
        if (size == 0)
            return 0;
        std::size_t copied = std::min(size - 1, target->text.size());
        memcpy(reinterpret_cast<char*>(lParam), target->text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    }
    switch (target->kind) {
    case tKind::dialog:
        return deliverToDialog(target, message, wParam, lParam);
    case tKind::combo:
        return comboMessage(target, message, wParam, lParam);
    case tKind::progress: {
        int before = target->progress.position;
        bool handled = false;
        LRESULT answer = target->progress.apply(message, wParam, lParam, handled);
        if (message == PBM_SETPOS || message == PBM_STEPIT || message == PBM_DELTAPOS ||
            target->progress.position != before)
            target->positions.push_back(target->progress.position);
        if (handled && message != PBM_GETPOS && message != PBM_GETRANGE)
            target->needsPaint = true;
        return answer;
    }
    default:
        return 0;
    }
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (!liveWindow(window))
        return FALSE;
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    if (!liveWindow(window))
        return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
    tWindow* w = liveWindow(window);
    return w ? static_cast<int>(w->text.size()) : 0;
}

BOOL WINAPI IsWindow(HWND window) {
    return windowOf(window) != nullptr;
}

BOOL WINAPI IsIconic(HWND window) {
    tWindow* w = windowOf(window);
    return w && w->minimised;
}

HWND WINAPI GetParent(HWND window) {
    tWindow* w = liveWindow(window);
    if (!w)
        return nullptr;
    return w->parent ? w->parent->handle : w->owner;
}

HWND WINAPI GetDesktopWindow(void) {
    return nullptr;
}

HWND WINAPI GetFocus(void) {
    return desktop().focus;
}

HWND WINAPI SetFocus(HWND window) {
    HWND previous = desktop().focus;
    if (window && !liveWindow(window))
        return nullptr;
    desktop().focus = window;
    return previous;
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    tWindow* w = liveWindow(window);
    if (!w)
        return 0;
    if (index == GWL_STYLE)
        return static_cast<LONG>(w->style | (w->visible ? WS_VISIBLE : 0));
    if (index == GWL_EXSTYLE)
        return static_cast<LONG>(w->exStyle);
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    tWindow* w = liveWindow(window);
    if (!w || !rect)
        return FALSE;
    if (w->kind == tKind::dialog)
        *rect = w->minimised ? RECT{0, 0, static_cast<LONG>(w->minimisedWidth),
                                    static_cast<LONG>(w->minimisedHeight)}
                             : w->clientSize;
    else
        *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    tWindow* w = liveWindow(window);
    if (!w || !rect)
        return FALSE;
    *rect = w->rect;
    if (w->parent) {
        // Controls: from the dialog's client area to the screen.
        LONG left = w->parent->rect.left + frameWidth;
        LONG top = w->parent->rect.top + frameWidth + captionHeight;
        *rect = RECT{rect->left + left, rect->top + top, rect->right + left, rect->bottom + top};
    }
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    tWindow* w = liveWindow(window);
    if (!w)
        return FALSE;
    LONG width = w->rect.right - w->rect.left;
    LONG height = w->rect.bottom - w->rect.top;
    if (!(flags & SWP_NOSIZE)) {
        width = cx;
        height = cy;
    }
    if (!(flags & SWP_NOMOVE)) {
        w->rect.left = x;
        w->rect.top = y;
    }
    w->rect.right = w->rect.left + width;
    w->rect.bottom = w->rect.top + height;
    return TRUE;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT, PVOID data, UINT) {
    if (action != SPI_GETWORKAREA || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *static_cast<RECT*>(data) = workArea();
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    return metric(index);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    if (DWORD code = platform::enterCall("LoadIconA")) {
        SetLastError(code);
        return nullptr;
    }
    HRSRC found = FindResourceA(instance, iconName, RT_GROUP_ICON);
    if (!found)
        return nullptr;
    // A shared icon: the same handle for every load of one resource.
    return reinterpret_cast<HICON>(found);
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    auto context = desktop().paintContexts.find(dc);
    if (context == desktop().paintContexts.end() || !icon) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    desktop().draws.push_back({context->second, x, y, icon});
    return TRUE;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paintStruct) {
    tWindow* w = liveWindow(window);
    if (!w || !paintStruct)
        return nullptr;
    HDC dc = reinterpret_cast<HDC>(reinterpret_cast<ULONG_PTR>(window) + 1);
    desktop().paintContexts[dc] = window;
    *paintStruct = PAINTSTRUCT{};
    paintStruct->hdc = dc;
    GetClientRect(window, &paintStruct->rcPaint);
    return dc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paintStruct) {
    if (!paintStruct)
        return FALSE;
    desktop().paintContexts.erase(paintStruct->hdc);
    tWindow* w = windowOf(window);
    if (w)
        w->needsPaint = false;
    return TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    // Only paint messages are ever pending: the script delivers input itself.
    bool wantsPaint =
        (filterMin == 0 && filterMax == 0) || (filterMin <= WM_PAINT && WM_PAINT <= filterMax);
    if (!wantsPaint || !msg)
        return FALSE;
    for (auto& [handle, w] : desktop().windows) {
        if (!w->needsPaint || (window && handle != window))
            continue;
        *msg = MSG{};
        msg->hwnd = handle;
        msg->message = WM_PAINT;
        if (removeMsg & PM_REMOVE)
            w->needsPaint = false;
        return TRUE;
    }
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg)
        return 0;
    tWindow* w = windowOf(msg->hwnd);
    if (w && msg->message == WM_PAINT)
        paint(w);
    return 0;
}

BOOL WINAPI UpdateWindow(HWND window) {
    tWindow* w = liveWindow(window);
    if (!w)
        return FALSE;
    if (w->needsPaint)
        paint(w);
    return TRUE;
}
