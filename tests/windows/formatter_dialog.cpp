#include "formatter_dialog.h"

#include <algorithm>

namespace wine {

namespace {

// The dialog whose controls are observed; one run at a time on this thread.
thread_local tFormatterDialog* observed = nullptr;
thread_local tBoxWatcher* watcher = nullptr;

constexpr UINT tickMs = 50;

std::string textOf(HWND window) {
    char text[2048] = "";
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The kernel handles open in this process, found by asking after every possible value: Wine
// counts none with GetProcessHandleCount.
std::vector<std::uintptr_t> openHandles() {
    std::vector<std::uintptr_t> open;
    for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            open.push_back(value);
    }
    return open;
}

WNDPROC subclass(HWND window, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

} // namespace

tFormatterDialog::tFormatterDialog(CString runTarget) : target(runTarget) {}

BOOL tFormatterDialog::OnInitDialog() {
    tBootDiskDialog::OnInitDialog();

    observed = this;
    progressProc = subclass(progressBar.m_hWnd, &tFormatterDialog::observe);
    statusProc = subclass(statusText.m_hWnd, &tFormatterDialog::observe);

    handlesBefore = openHandles();
    result = runFormatter(*this, target);
    handlesAfter = openHandles();

    subclass(progressBar.m_hWnd, progressProc);
    subclass(statusText.m_hWnd, statusProc);
    observed = nullptr;

    finalPosition = progressBar.GetPos();
    finalStatus = textOf(statusText.m_hWnd);
    EndDialog(IDOK);
    return TRUE;
}

LRESULT CALLBACK tFormatterDialog::observe(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    tFormatterDialog& dialog = *observed;
    if (window == dialog.statusText.m_hWnd) {
        if (message == WM_SETTEXT)
            dialog.statusTexts.push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
        return CallWindowProcA(dialog.statusProc, window, message, wParam, lParam);
    }
    if (message != PBM_STEPIT && message != PBM_SETPOS)
        return CallWindowProcA(dialog.progressProc, window, message, wParam, lParam);
    int before = static_cast<int>(CallWindowProcA(dialog.progressProc, window, PBM_GETPOS, 0, 0));
    LRESULT answer = CallWindowProcA(dialog.progressProc, window, message, wParam, lParam);
    int after = static_cast<int>(CallWindowProcA(dialog.progressProc, window, PBM_GETPOS, 0, 0));
    dialog.barMessages.push_back({message, before, after});
    return answer;
}

tBoxWatcher::tBoxWatcher(tFormatterDialog& watchedDialog) : dialog(watchedDialog) {
    watcher = this;
    timer = SetTimer(nullptr, 0, tickMs, &tBoxWatcher::tick);
}

tBoxWatcher::~tBoxWatcher() {
    KillTimer(nullptr, timer);
    watcher = nullptr;
}

void CALLBACK tBoxWatcher::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!watcher)
        return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            tBoxWatcher& self = *watcher;
            char name[64] = "";
            GetClassNameA(window, name, sizeof name);
            if (window == self.dialog.m_hWnd || std::string(name) != "#32770" ||
                std::find(self.answered.begin(), self.answered.end(), window) !=
                    self.answered.end())
                return TRUE;
            self.answered.push_back(window);

            char text[2048] = "";
            GetDlgItemTextA(window, 0xFFFF, text, sizeof text); // a standard box's message
            bool hasIcon = false;
            for (HWND child = GetWindow(window, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                GetClassNameA(child, name, sizeof name);
                hasIcon = hasIcon || (lstrcmpiA(name, "Static") == 0 && IsWindowVisible(child) &&
                                      (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON);
            }
            self.boxes.push_back({textOf(window), text, IsWindowVisible(window) != FALSE, hasIcon,
                                  textOf(self.dialog.statusText.m_hWnd),
                                  self.dialog.progressBar.GetPos()});
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
            return TRUE;
        },
        0);
}

} // namespace wine
