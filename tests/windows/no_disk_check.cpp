// Starts the program on a machine without USB flash disks and checks what the user sees: one
// message box with the no-disk text, an OK button and the warning icon, and no dialog. Then it
// presses OK and checks that the program ends.
//
// usage: no_disk_check <path of bootdisk.exe>
// Exit status 0 when everything holds; otherwise 1, with every deviation on standard error.
// Every wait is bounded; the program under test is ended on every way out.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char caption[] = "Create Tavor Embedded Controller USB Utility Disk";
const char noDiskText[] = "No USB flash disks detected.  Please connect a USB flash disk and "
                          "restart this application.";

constexpr DWORD boxWaitMs = 60000;  // a cold Wine start takes a few seconds
constexpr DWORD exitWaitMs = 30000; // from OK to the end of the process
constexpr DWORD pollMs = 50;
constexpr UINT replyMs = 5000; // for each message sent to the program's windows

std::vector<std::string> failures;

void fail(const std::string& what) {
    failures.push_back(what);
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The program under test; ended by force if it is still running when the check ends.
class tChild {
public:
    explicit tChild(const std::string& path) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = quoted(path);
        started = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info) != FALSE;
        if (!started)
            fail("cannot start " + path + ", error " + std::to_string(GetLastError()));
        else
            CloseHandle(info.hThread);
    }
    ~tChild() {
        if (!started)
            return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, exitWaitMs);
        }
        CloseHandle(info.hProcess);
    }
    tChild(const tChild&) = delete;
    tChild& operator=(const tChild&) = delete;

    bool running() const {
        return started && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
    }
    bool waitForEnd(DWORD ms) const {
        return WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = 0;
        return GetExitCodeProcess(info.hProcess, &code) ? code : 0xFFFFFFFF;
    }

    bool started = false;
    PROCESS_INFORMATION info{};
};

std::string className(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The window's text as the window itself answers WM_GETTEXT, within replyMs.
std::string windowText(HWND window) {
    char text[1024] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, replyMs, &copied))
        return "<no answer to WM_GETTEXT>";
    return std::string(text, copied);
}

std::string describe(HWND window) {
    return className(window) + " " + quoted(windowText(window));
}

std::vector<HWND> visibleWindowsOf(DWORD processId) {
    struct tSearch {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<tSearch*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window))
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isTheBox(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text); // the caption, kept by the system
    return className(window) == "#32770" && std::string(text) == caption;
}

std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

constexpr int iconSize = 32;

// 32 by 32 pixels of `source` from (x, y), as 32-bit colours.
std::vector<DWORD> pixelsOf(HDC source, int x, int y) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = iconSize;
    format.bmiHeader.biHeight = -iconSize;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels;
    HDC dc = CreateCompatibleDC(source);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc && bitmap) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        if (BitBlt(dc, 0, 0, iconSize, iconSize, source, x, y, SRCCOPY)) {
            GdiFlush();
            const DWORD* first = static_cast<const DWORD*>(bits);
            pixels.assign(first, first + iconSize * iconSize);
        }
        SelectObject(dc, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    return pixels;
}

// `icon` as the screen shows it on a background of `background`.
std::vector<DWORD> drawnOnScreen(HICON icon, COLORREF background) {
    std::vector<DWORD> pixels;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, iconSize, iconSize);
    if (dc && bitmap) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, iconSize, iconSize};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        if (DrawIconEx(dc, 0, 0, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL))
            pixels = pixelsOf(dc, 0, 0);
        SelectObject(dc, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::size_t differingPixels(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    if (a.size() != b.size())
        return iconSize * iconSize;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        count += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return count;
}

// Which of the system's message box icons the icon control shows on screen: the one that
// differs from it in the fewest pixels, provided that hardly any differ. An icon handle of
// another process cannot be drawn here, so the screen is compared with our own copies.
std::string whichSystemIcon(HWND iconControl) {
    struct tNamed {
        LPCSTR id;
        const char* name;
    };
    const tNamed systemIcons[] = {{IDI_WARNING, "warning"},
                                  {IDI_ERROR, "error"},
                                  {IDI_INFORMATION, "information"},
                                  {IDI_QUESTION, "question"}};
    RECT place{};
    GetWindowRect(iconControl, &place);
    std::string verdict;
    // The box may not have painted yet: look again for a while.
    for (int attempt = 0; attempt < 20; ++attempt, Sleep(100)) {
        HDC screen = GetDC(nullptr);
        std::vector<DWORD> shown = pixelsOf(screen, place.left, place.top);
        ReleaseDC(nullptr, screen);
        if (shown.empty())
            return "nothing that can be read from the screen";
        COLORREF corner = RGB((shown[0] >> 16) & 0xFF, (shown[0] >> 8) & 0xFF, shown[0] & 0xFF);
        const char* best = nullptr;
        std::size_t fewest = iconSize * iconSize;
        verdict.clear();
        for (const tNamed& system : systemIcons) {
            std::size_t differing =
                differingPixels(shown, drawnOnScreen(LoadIconA(nullptr, system.id), corner));
            verdict += std::string(verdict.empty() ? "" : ", ") + system.name + " " +
                       std::to_string(differing);
            if (differing < fewest) {
                fewest = differing;
                best = system.name;
            }
        }
        if (best && fewest <= iconSize * iconSize / 20) {
            std::printf("icon pixels differing: %s\n", verdict.c_str());
            return best;
        }
    }
    return "none of the system's icons (pixels differing: " + verdict + ")";
}

void checkBox(HWND box) {
    if (HWND owner = GetWindow(box, GW_OWNER))
        fail("the box has an owner window: " + describe(owner));

    std::string text = windowText(GetDlgItem(box, 0xFFFF));
    if (text != noDiskText)
        fail("message text " + quoted(text) + ", expected " + quoted(noDiskText));

    int buttons = 0, icons = 0;
    for (HWND child : childrenOf(box)) {
        // What the user sees: a box may keep the buttons of other types hidden.
        if (!IsWindowVisible(child))
            continue;
        std::string name = className(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (lstrcmpiA(name.c_str(), "Button") == 0) {
            ++buttons;
            std::string label = windowText(child);
            if (label != "OK" || GetDlgCtrlID(child) != IDOK)
                fail("button " + quoted(label) + " with id " + std::to_string(GetDlgCtrlID(child)) +
                     ", expected only \"OK\" (IDOK)");
        } else if (lstrcmpiA(name.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            ++icons;
            std::string shown = whichSystemIcon(child);
            if (shown != "warning")
                fail("the box shows " + shown + ", expected the warning icon");
        }
    }
    if (buttons != 1)
        fail(std::to_string(buttons) + " buttons, expected one");
    if (icons != 1)
        fail(std::to_string(icons) + " icons, expected one");
}

// Any visible window of the program besides the box; each one is reported once.
void checkNoOtherWindow(const tChild& child, HWND box, std::vector<HWND>& reported) {
    for (HWND window : visibleWindowsOf(child.info.dwProcessId)) {
        if (window == box)
            continue;
        bool known = false;
        for (HWND seen : reported)
            known = known || seen == window;
        if (known)
            continue;
        reported.push_back(window);
        fail("another window of the program: " + describe(window));
    }
}

HWND waitForBox(const tChild& child, std::vector<HWND>& reported) {
    for (DWORD waited = 0; waited < boxWaitMs; waited += pollMs) {
        if (!child.running()) {
            fail("the program ended without showing a box, exit code " +
                 std::to_string(child.exitCode()));
            return nullptr;
        }
        for (HWND window : visibleWindowsOf(child.info.dwProcessId))
            if (isTheBox(window)) {
                checkNoOtherWindow(child, window, reported);
                return window;
            }
        Sleep(pollMs);
    }
    checkNoOtherWindow(child, nullptr, reported);
    fail("no message box within " + std::to_string(boxWaitMs / 1000) + " s");
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: no_disk_check <path of bootdisk.exe>\n");
        return 2;
    }
    tChild child(argv[1]);
    if (!child.started)
        return 1;

    std::vector<HWND> reported;
    HWND box = waitForBox(child, reported);
    if (!box)
        return 1;
    checkBox(box);

    // Pressing OK: the command the button sends.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    bool ended = false;
    for (DWORD waited = 0; waited < exitWaitMs && !ended; waited += pollMs) {
        // Whatever shows between OK and the end, a dialog above all, is a deviation.
        checkNoOtherWindow(child, IsWindow(box) ? box : nullptr, reported);
        ended = child.waitForEnd(pollMs);
    }
    if (!ended)
        fail("the program still runs " + std::to_string(exitWaitMs / 1000) + " s after OK");
    else if (child.exitCode() != 0)
        fail("exit code " + std::to_string(child.exitCode()) + ", expected 0");

    if (failures.empty())
        std::printf("ok: one no-disk box with OK and the warning icon; the program ended\n");
    return failures.empty() ? 0 : 1;
}
